#include "platform/ini_file.h"

#include <optional>
#include <vector>

#include "platform/ascii.h"
#include "platform/errors.h"
#include "platform/files.h"

namespace platform::ini {
namespace {

struct Line {
    std::string text;  // without its line end
    std::string end;   // "\r\n", "\n" or "" for a last line without one
};

std::vector<Line> splitLines(const std::string& all) {
    std::vector<Line> lines;
    size_t pos = 0;
    while (pos < all.size()) {
        size_t lf = all.find('\n', pos);
        if (lf == std::string::npos) {
            lines.push_back({all.substr(pos), ""});
            break;
        }
        const bool crlf = lf > pos && all[lf - 1] == '\r';
        const size_t textEnd = crlf ? lf - 1 : lf;
        lines.push_back({all.substr(pos, textEnd - pos), crlf ? "\r\n" : "\n"});
        pos = lf + 1;
    }
    return lines;
}

std::optional<std::string> sectionName(const std::string& line) {
    const std::string t = ascii::trim(line);
    if (t.size() < 2 || t.front() != '[')
        return std::nullopt;
    const size_t close = t.find(']');
    if (close == std::string::npos)
        return std::nullopt;
    return ascii::trim(std::string_view(t).substr(1, close - 1));
}

// The key of a "key=value" line, or nothing for comments and other lines.
std::optional<std::string> keyName(const std::string& line) {
    const std::string t = ascii::trim(line);
    if (t.empty() || t.front() == ';')
        return std::nullopt;
    const size_t eq = t.find('=');
    if (eq == std::string::npos)
        return std::nullopt;
    return ascii::trim(std::string_view(t).substr(0, eq));
}

std::string valueOf(const std::string& line) {
    std::string v = ascii::trim(std::string_view(line).substr(line.find('=') + 1));
    if (v.size() >= 2 &&
        ((v.front() == '"' && v.back() == '"') || (v.front() == '\'' && v.back() == '\'')))
        v = v.substr(1, v.size() - 2);
    if (v.size() > kMaxValueLength)
        v.resize(kMaxValueLength);
    return v;
}

struct Found {
    std::optional<size_t> sectionLine;
    std::optional<size_t> keyLine;
    size_t lastContentLine = 0;  // last non-blank line of the section (or its header)
};

Found find(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    Found f;
    bool inSection = false;
    const std::string wantSection = ascii::trim(section);
    const std::string wantKey = ascii::trim(key);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (auto name = sectionName(lines[i].text)) {
            if (f.sectionLine)
                break;  // the section ended; later duplicates are not read
            inSection = ascii::equalsNoCase(*name, wantSection);
            if (inSection) {
                f.sectionLine = i;
                f.lastContentLine = i;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (!ascii::trim(lines[i].text).empty())
            f.lastContentLine = i;
        if (auto name = keyName(lines[i].text); name && ascii::equalsNoCase(*name, wantKey)) {
            f.keyLine = i;
            break;
        }
    }
    return f;
}

}  // namespace

std::string readValue(std::string_view file, std::string_view section, std::string_view key) {
    std::string all;
    try {
        all = files::readWholeFile(files::Name(file));
    } catch (const Error&) {
        return {};
    }
    const auto lines = splitLines(all);
    const Found f = find(lines, section, key);
    return f.keyLine ? valueOf(lines[*f.keyLine].text) : std::string();
}

std::vector<std::string> keyNames(std::string_view file, std::string_view section) {
    std::string all;
    try {
        all = files::readWholeFile(files::Name(file));
    } catch (const Error&) {
        return {};
    }
    std::vector<std::string> keys;
    bool seen = false;
    bool inSection = false;
    const std::string wantSection = ascii::trim(section);
    for (const Line& line : splitLines(all)) {
        if (auto name = sectionName(line.text)) {
            if (seen)
                break;  // as for the reads: the first section of the name only
            inSection = seen = ascii::equalsNoCase(*name, wantSection);
            continue;
        }
        if (auto key = inSection ? keyName(line.text) : std::nullopt)
            keys.push_back(*key);
    }
    return keys;
}

namespace {

void setValue(std::vector<Line>& lines, std::string_view section, const Entry& entry) {
    // New lines follow the file's own line ends; a new file gets CR LF.
    const std::string eol = lines.empty() || lines.front().end.empty() ? "\r\n" : lines.front().end;
    const std::string text = std::string(ascii::trim(entry.key)) + "=" + entry.value;
    const Found f = find(lines, section, entry.key);
    if (f.keyLine) {
        lines[*f.keyLine].text = text;
        return;
    }
    if (!lines.empty() && lines.back().end.empty())
        lines.back().end = eol;
    if (f.sectionLine) {
        lines.insert(lines.begin() + static_cast<long>(f.lastContentLine) + 1, Line{text, eol});
    } else {
        lines.push_back({"[" + ascii::trim(section) + "]", eol});
        lines.push_back({text, eol});
    }
}

}  // namespace

void writeValues(std::string_view file, std::string_view section, const std::vector<Entry>& entries,
                 Keep keep) {
    try {
        std::vector<Line> lines;
        if (keep == Keep::OtherLines && files::fileExists(files::Name(file)))
            lines = splitLines(files::readWholeFile(files::Name(file)));
        for (const Entry& entry : entries)
            setValue(lines, section, entry);
        std::string out;
        for (const Line& l : lines)
            out += l.text + l.end;
        files::writeWholeFileAtomically(file, out);
    } catch (const std::exception&) {
        throw Error("Unable to write to " + std::string(file));
    }
}

void writeValue(std::string_view file, std::string_view section, std::string_view key,
                std::string_view value) {
    writeValues(file, section, {Entry{std::string(key), std::string(value)}}, Keep::OtherLines);
}

}  // namespace platform::ini
