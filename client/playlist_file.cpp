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
        entry = kv::Trim(entry);
    return entries;
}

std::vector<std::string> ReadEntries(std::string_view path) {
    platform::files::File in(path, platform::files::File::Mode::Read);
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

std::string TextFor(const std::vector<std::string>& fileNames) {
    platform::LocaleSortedStrings sorted(platform::TextKind::FileName);
    for (const std::string& name : fileNames)
        sorted.Add(kv::UpperCase(name));
    std::string text;
    for (const std::string& entry : sorted.Items())
        text += entry + "\r\n";
    return text;
}

void Write(std::string_view path, const std::vector<std::string>& fileNames) {
    platform::files::writeWholeFileAtomically(path, TextFor(fileNames));
}

}  // namespace sonpad::playlist
