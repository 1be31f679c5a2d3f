#include "common/line_protocol.h"

#include <algorithm>

#include "common/conversion.h"
#include "common/song_record.h"
#include "common/text_helpers.h"

namespace kv {
namespace {

constexpr std::int32_t kIndexWidth = 6;
constexpr std::int32_t kTagColumnsWidth = kRecordPathColumn - 7;

std::string Field(std::int64_t n, std::int32_t width) {
    return PadLeft(std::to_string(n), width, "0");
}

bool NeedsQuotes(std::string_view s) {
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= ' ' || u == 127 || c == '"' || c == ',')
            return true;
    }
    return false;
}

// The text of s before the separator, and s moved past it.
std::string_view TakeUntil(std::string_view& s, char separator, std::string_view reply) {
    const size_t at = s.find(separator);
    if (at == std::string_view::npos)
        throw ReplyError("The reply \"" + std::string(reply) + "\" has no \"" +
                         std::string(1, separator) + "\"");
    const std::string_view field = s.substr(0, at);
    s.remove_prefix(at + 1);
    return field;
}

const RequestRule* RuleOf(std::string_view code) {
    for (const RequestRule& rule : kRequestRules)
        if (rule.code == code)
            return &rule;
    return nullptr;
}

ReplyKey KeyOf(std::string_view code) {
    const RequestRule* rule = RuleOf(code);
    return rule ? rule->key : ReplyKey::None;
}

std::string Key(ReplyKey key, std::string_view text) {
    switch (key) {
        case ReplyKey::None:
            break;
        case ReplyKey::File:
            return Trim(UpperCase(text));
        case ReplyKey::SongIndex:
            return UpperCase(text.substr(0, std::min<size_t>(text.size(), kIndexWidth)));
    }
    return {};
}

constexpr size_t kAnswerWidth = 3;  // "ACK" or "NAK" before the file of a "#FIL" reply

}  // namespace

Replies RepliesTo(std::string_view code, std::string_view argument) {
    const RequestRule* rule = RuleOf(code);
    if (!rule || (!rule->argument.empty() && rule->argument != argument))
        return Replies::None;
    return rule->replies;
}

bool IsAnswer(std::string_view code) {
    const RequestRule* rule = RuleOf(code);
    return rule && rule->replies != Replies::None;
}

std::string RequestKey(std::string_view code, std::string_view argument) {
    return Key(KeyOf(code), argument);
}

std::string ReplyKeyOf(std::string_view type, std::string_view payload) {
    const ReplyKey key = KeyOf(type);
    if (key == ReplyKey::File)
        payload.remove_prefix(std::min(payload.size(), kAnswerWidth));
    return Key(key, payload);
}

std::string PlayStatusReply(std::string_view songId, std::int32_t position, std::int32_t length,
                            std::string_view fileName, std::int32_t fileSize) {
    std::string reply = "#PLY";
    reply += songId.empty() ? std::string("@") : PadLeft(songId, kIndexWidth, "0");
    reply += std::to_string(position) + "!" + std::to_string(length) + "*" + Trim(fileName) + ":" +
             std::to_string(fileSize) + "$";
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

std::string ClientListReply(const std::vector<std::string>& names) {
    return "@clients:" + CommaText(names);
}

std::string QueueRoomReply(bool room) {
    return room ? "#CISack" : "#CISnak";
}

std::string QueueReply(bool queued, std::string_view file) {
    return (queued ? "#FILack" : "#FILnak") + std::string(file);
}

std::string SongInfoReply(std::string_view index, std::string_view record) {
    return "#SIF" + std::string(index) + std::string(record);
}

std::string RescanProgressReply(std::string_view progress) {
    return "#SCN" + Trim(progress);
}

std::string RescanDoneReply(std::string_view closingText) {
    return "#SCNDONE" + Trim(closingText);
}

std::string BroadcastLine(std::string_view sender, std::string_view text) {
    std::string line = Trim(text);
    if (sender != kSystemSender)
        line = std::string(sender) + ": " + line;
    return line;
}

std::string JoinedText(std::string_view name) {
    return std::string(name) + " has just logged in.";
}

std::string LeftText(std::string_view name) {
    return std::string(name) + " has disconnected.";
}

std::string LogInLine(std::string_view clientName) {
    return std::string(kLogInMarker) + std::string(clientName);
}

std::string SongInfoRequestEntry(std::int32_t index, std::string_view fileName) {
    return PadLeft(std::to_string(index), kIndexWidth, "0") + UpperCase(fileName);
}

std::string CommandCode(std::string_view line) {
    return UpperCase(Copy(line, 2, 3));
}

std::string QueryTarget(std::string_view line) {
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return {};
    return UpperCase(Trim(line.substr(1, colon - 1)));
}

SongInfoRequest ParseSongInfoRequest(std::string_view arg) {
    return {Copy(arg, 1, kIndexWidth),
            Copy(arg, kIndexWidth + 1, static_cast<std::int64_t>(arg.size()))};
}

Reply SplitReply(std::string_view line) {
    if (line.find('\0') != std::string_view::npos) {
        std::string shown;
        for (const char c : line)
            shown += c == '\0' ? std::string_view("<NUL>") : std::string_view(&c, 1);
        throw ReplyError("The reply \"" + shown + "\" holds a NUL byte");
    }
    return {Trim(UpperCase(Copy(line, 2, 3))),
            Trim(UpperCase(Copy(line, 5, static_cast<std::int64_t>(line.size()))))};
}

std::string ServerMessageText(std::string_view line) {
    const size_t colon = line.find(':');
    return Trim(UpperCase(colon == std::string_view::npos ? line : line.substr(colon + 1)));
}

PlayStatus ParsePlayStatus(std::string_view payload) {
    PlayStatus status;
    if (payload.starts_with('@'))
        return status;
    status.active = true;
    status.songId = Copy(payload, 1, kIndexWidth);
    std::string_view rest = payload.size() > kIndexWidth ? payload.substr(kIndexWidth) : "";
    status.position = StrToInt(TakeUntil(rest, '!', "#PLY"));
    status.length = StrToInt(TakeUntil(rest, '*', "#PLY"));
    // The size is digits only, so a ":" inside the file name cannot take its place.
    const size_t colon = rest.rfind(':');
    if (colon == std::string_view::npos)
        throw ReplyError("The reply \"#PLY\" has no \":\"");
    status.fileName = std::string(rest.substr(0, colon));
    const std::string_view size = rest.substr(colon + 1);
    status.fileSize = StrToInt(size.substr(0, size.empty() ? 0 : size.size() - 1));
    return status;
}

std::int32_t ParsePlayPosition(std::string_view payload) {
    std::string_view rest = payload.size() > kIndexWidth ? payload.substr(kIndexWidth) : "";
    return StrToInt(TakeUntil(rest, '!', "#PLY"));
}

ServerInfo ParseServerInfo(std::string_view payload) {
    if (payload.size() < 15)
        throw ReplyError("The reply \"#INI" + std::string(payload) + "\" is too short");
    return {StrToInt(Copy(payload, 1, 5)), Copy(payload, 6, 2), Copy(payload, 8, 6),
            Copy(payload, 14, 2)};
}

SongInfo ParseSongInfo(std::string_view payload) {
    return {StrToInt(Copy(payload, 1, kIndexWidth)),
            PadRight(Copy(payload, 2 * kIndexWidth + 1, kTagColumnsWidth), kTagColumnsWidth, " ")};
}

RescanReply ParseRescanReply(std::string_view payload) {
    if (payload.starts_with("NAK"))
        return {RescanReply::Kind::Refused, {}};
    if (payload.starts_with("DONE"))
        return {RescanReply::Kind::Done,
                Copy(payload, 5, static_cast<std::int64_t>(payload.size()))};
    return {RescanReply::Kind::Progress, std::string(payload)};
}

QueueAnswer ParseQueueAnswer(std::string_view payload) {
    if (!payload.starts_with("NAK"))
        return {true, {}};
    return {false, Copy(payload, 4, static_cast<std::int64_t>(payload.size()))};
}

Answer ParseQueueRoom(std::string_view payload) {
    if (payload == "ACK")
        return Answer::Ack;
    if (payload == "NAK")
        return Answer::Nak;
    return Answer::Other;
}

LogAnswer ParseLogAnswer(std::string_view payload) {
    if (payload == "ACK")
        return LogAnswer::Ack;
    if (payload == "OFF")
        return LogAnswer::Off;
    if (payload == "MAX")
        return LogAnswer::Max;
    return LogAnswer::Other;
}

}  // namespace kv
