#include "client/playlist_file.h"

#include "common/text_helpers.h"
#include "common/text_lines.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/qt/locale_compare.h"

namespace sonpad::playlist {

std::vector<std::string> SplitEntries(std::string_view text) {
    std::vector<std::string> entries = kv::TextLines(text);
    for (std::string& entry : entries)
        entry = kv::TrimRight(entry);
    return entries;
}

std::vector<std::string> ReadEntries(std::string_view path) {
    platform::files::File in(platform::files::Name(path), platform::files::File::Mode::Read);
    const auto tooLarge = [&in] {
        return platform::IoError("The file " + in.name() + " is too large for a playlist.");
    };
    if (in.size() > kMaxFileBytes)
        throw tooLarge();
    std::string text;
    // Read in pieces and stop past the limit: the size may change while we read.
    for (;;) {
        std::string chunk = in.readSome(1 << 16);
        if (chunk.empty())
            break;
        text += chunk;
        if (static_cast<std::int64_t>(text.size()) > kMaxFileBytes)
            throw tooLarge();
    }
    if (text.find('\0') != std::string::npos)
        throw platform::IoError("The file " + in.name() + " is not a playlist.");
    return SplitEntries(text);
}

bool FitsOnALine(std::string_view fileName) {
    return fileName.find_first_of("\r\n") == std::string_view::npos;
}

std::string TextFor(const std::vector<std::string>& fileNames, std::vector<std::string>* leftOut) {
    platform::LocaleSortedStrings sorted(platform::TextKind::FileName);
    for (const std::string& name : fileNames) {
        if (FitsOnALine(name))
            sorted.Add(kv::UpperCase(name));
        else if (leftOut)
            leftOut->push_back(name);
    }
    std::string text;
    for (const std::string& entry : sorted.Items())
        text += entry + "\r\n";
    return text;
}

std::string LeftOutText(const std::vector<std::string>& leftOut) {
    if (leftOut.empty())
        return {};
    // The breaks show as the pictures of CR and LF, so the box keeps the name on its line.
    std::string text = "These songs were left out, as their file names hold a line break:";
    for (const std::string& name : leftOut) {
        std::string shown;
        for (const char c : name)
            shown += c == '\r' ? "\xE2\x90\x8D" : c == '\n' ? "\xE2\x90\x8A" : std::string(1, c);
        text += "\n\"" + shown + "\"";
    }
    return text;
}

std::vector<std::string> Write(std::string_view path, const std::vector<std::string>& fileNames) {
    std::vector<std::string> leftOut;
    platform::files::writeWholeFileAtomically(path, TextFor(fileNames, &leftOut));
    return leftOut;
}

}  // namespace sonpad::playlist
