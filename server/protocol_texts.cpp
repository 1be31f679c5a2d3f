#include "server/protocol_texts.h"

#include "common/text_helpers.h"

namespace sonhall {
namespace {

std::string Field(std::int64_t n, std::int32_t width) {
    return kv::PadLeft(std::to_string(n), width, "0");
}

bool NeedsQuotes(std::string_view s) {
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= ' ' || u == 127 || c == '"' || c == ',')
            return true;
    }
    return false;
}

}  // namespace

std::string PlayStatusReply(std::string_view songId, std::int32_t position, std::int32_t length,
                            std::string_view fileName, std::int32_t fileSize) {
    std::string reply = "#PLY";
    reply += songId.empty() ? std::string("@") : kv::PadLeft(songId, 6, "0");
    reply += std::to_string(position) + "!" + std::to_string(length) + "*" + kv::Trim(fileName) +
             ":" + std::to_string(fileSize) + "$";
    return reply;
}

std::string ServerInfoReply(std::int64_t volume, std::int64_t connections, std::int64_t songsPlayed,
                            std::int64_t queueLength) {
    return "#INI" + Field(volume, 5) + Field(connections, 2) + Field(songsPlayed, 6) +
           Field(queueLength, 2);
}

std::string CommaText(const std::vector<std::string>& lines) {
    if (lines.size() == 1 && lines.front().empty())
        return "\"\"";
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += ',';
        const std::string& line = lines[i];
        if (!NeedsQuotes(line)) {
            text += line;
            continue;
        }
        text += '"';
        for (const char c : line) {
            if (c == '"')
                text += '"';
            text += c;
        }
        text += '"';
    }
    return text;
}

}  // namespace sonhall
