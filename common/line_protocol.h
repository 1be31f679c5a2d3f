#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/errors.h"

// The wire format of the line protocol between Sonhall2 and Sonpad2: the lines the server
// builds and what the client reads out of them. Lines are single-byte text without their
// CR LF. Safe on any thread.
namespace kv {

// ---- Fixed lines ----

inline constexpr std::string_view kGreeting = "SONHALL II";
inline constexpr std::string_view kLogAck = "#LOGack";
inline constexpr std::string_view kLogMax = "#LOGmax";
inline constexpr std::string_view kLogOff = "#LOGoff";
inline constexpr std::string_view kAvailable = "#AVL";
inline constexpr std::string_view kSkipDone = "#COMNEXT";
inline constexpr std::string_view kRescanRefused = "#SCNnak";
inline constexpr std::string_view kRescanStarted = "#SCNServer Re-Scan request initiated...";
// The sender name whose broadcasts go out without a name in front.
inline constexpr std::string_view kSystemSender = "System";
// The three characters the client puts before its name in the log-in line; the server takes
// any three.
inline constexpr std::string_view kLogInMarker = ">>>";

// ---- Codes and the reply rules ----

// Characters 2-4 of a "#" line. A request and the reply that answers it share its code.
namespace code {
inline constexpr std::string_view kPlayStatus = "PLY";
inline constexpr std::string_view kServerInfo = "INI";
inline constexpr std::string_view kQueueRoom = "CIS";
inline constexpr std::string_view kQueueSong = "FIL";
inline constexpr std::string_view kCommand = "COM";
inline constexpr std::string_view kSongInfo = "SIF";
inline constexpr std::string_view kRescan = "SCN";
inline constexpr std::string_view kVolume = "VOL";
inline constexpr std::string_view kLog = "LOG";        // log-in answers and log-offs
inline constexpr std::string_view kAvailable = "AVL";  // the server's offer of room, to all
}  // namespace code

// What the server sends back for one request of a connection while no other client's rescan
// runs; replies come in the order of the requests.
enum class Replies {
    One,           // always one line of the request's code
    OneWhenFound,  // one line when the server holds what the request names, else none
    None,
};
// What a reply repeats of its request, so that it names the request it answers.
enum class ReplyKey {
    None,
    File,       // the file name: the whole argument, after the reply's 3-character answer
    SongIndex,  // the first 6 characters, the client's library index
};
struct RequestRule {
    std::string_view code;
    std::string_view argument;  // when set, only a request of this argument gets its reply
    Replies replies;
    ReplyKey key;
};
// "#SCN" gets one line: refused, or started (and then "DONE" once the rescan is over).
// Requests of other codes, and the log-in line, get no reply.
inline constexpr RequestRule kRequestRules[] = {
    {code::kPlayStatus, {}, Replies::One, ReplyKey::None},
    {code::kServerInfo, {}, Replies::One, ReplyKey::None},
    {code::kQueueRoom, {}, Replies::One, ReplyKey::None},
    {code::kQueueSong, {}, Replies::One, ReplyKey::File},
    {code::kCommand, "NEXT", Replies::One, ReplyKey::None},
    {code::kSongInfo, {}, Replies::OneWhenFound, ReplyKey::SongIndex},
    {code::kRescan, {}, Replies::One, ReplyKey::None},
    {code::kVolume, {}, Replies::None, ReplyKey::None},
};

// The replies a request of this code and argument (the line after its code) gets.
Replies RepliesTo(std::string_view code, std::string_view argument);
// Whether a "#" line of this code from the server answers a request of the same code.
bool IsAnswer(std::string_view code);
// What a reply must repeat to answer this request, upper case; empty when it repeats nothing.
std::string RequestKey(std::string_view code, std::string_view argument);
// What this reply (type and payload as SplitReply gives them) repeats of its request.
std::string ReplyKeyOf(std::string_view type, std::string_view payload);

// ---- Server side: builders ----

// "#PLY" + the song number (6 characters) or "@" when no song is active, then position "!"
// length "*" file name ":" file size "$".
std::string PlayStatusReply(std::string_view songId, std::int32_t position, std::int32_t length,
                            std::string_view fileName, std::int32_t fileSize);

// "#INI" + volume (5) + listed connections (2) + songs played (6) + queue length (2), each
// filled with "0" on the left or cut to its first digits: always 19 characters.
std::string ServerInfoReply(std::int64_t volume, std::int64_t connections, std::int64_t songsPlayed,
                            std::int64_t queueLength);

// The lines joined by ","; a line holding a blank, a control character, a double quote or a
// comma is quoted, its double quotes doubled; one empty line gives "" and no lines nothing.
std::string CommaText(const std::vector<std::string>& lines);
// "@clients:" + the comma text of the names.
std::string ClientListReply(const std::vector<std::string>& names);

std::string QueueRoomReply(bool room);                       // "#CISack" / "#CISnak"
std::string QueueReply(bool queued, std::string_view file);  // "#FILack" / "#FILnak" + file
// "#SIF" + the request's 6 index characters + the server's whole song record.
std::string SongInfoReply(std::string_view index, std::string_view record);
std::string RescanProgressReply(std::string_view progress);  // "#SCN" + trimmed progress
std::string RescanDoneReply(std::string_view closingText);   // "#SCNDONE" + trimmed text

// A broadcast: the trimmed text, after sender + ": " unless the sender is "System".
std::string BroadcastLine(std::string_view sender, std::string_view text);
std::string JoinedText(std::string_view name);  // name + " has just logged in."
std::string LeftText(std::string_view name);    // name + " has disconnected."

// ---- Client side: requests ----

std::string LogInLine(std::string_view clientName);  // marker + name as typed
// A pending song-information entry: the library index (6 characters, "0"-filled) and the
// upper-case file name; the request line is "#SIF" + entry.
std::string SongInfoRequestEntry(std::int32_t index, std::string_view fileName);

// ---- Server side: reading the client's lines ----

// The code of a "#" line: characters 2-4, upper-cased ("#ply?" is "PLY").
std::string CommandCode(std::string_view line);
// The target of an "@" line: before its first ":", trimmed and upper-cased; empty when the
// line has no ":".
std::string QueryTarget(std::string_view line);

struct SongInfoRequest {
    std::string index;     // the 6 characters, echoed unread
    std::string fileName;  // from the 7th character on
};
SongInfoRequest ParseSongInfoRequest(std::string_view arg);

// ---- Client side: reading replies ----

// A reply that lacks a part its format needs (a separator, a field).
class ReplyError : public platform::Error {
  public:
    using platform::Error::Error;
};

// A "#" line: type = characters 2-4, payload = the rest; both upper-cased and trimmed. A line
// holding a NUL byte raises ReplyError, its text the whole line with "<NUL>" in each NUL's
// place: a NUL is no blank to trim, so "#CIS", NUL, "ack" must not read as "#CISack".
struct Reply {
    std::string type;
    std::string payload;
};
Reply SplitReply(std::string_view line);

// Any other line as the client shows it: the text after the first ":" (the whole line when
// it has none), trimmed and upper-cased.
std::string ServerMessageText(std::string_view line);

// "#PLY": nothing playing ("@"), or the song with its fields. A number that does not convert
// raises ConversionError; a missing separator raises ReplyError.
struct PlayStatus {
    bool active = false;
    std::string songId;  // 6 characters
    std::int32_t position = 0;
    std::int32_t length = 0;
    std::string fileName;
    std::int32_t fileSize = 0;
};
PlayStatus ParsePlayStatus(std::string_view payload);
// Only the position of an active song's "#PLY" payload, the rest unread (the song shown
// already). Raises as ParsePlayStatus.
std::int32_t ParsePlayPosition(std::string_view payload);

// "#INI": the volume as a number, the other fields exactly as received (leading zeros kept).
struct ServerInfo {
    std::int32_t volume = 0;
    std::string users;
    std::string songsPlayed;
    std::string queueLength;
};
ServerInfo ParseServerInfo(std::string_view payload);

// "#SIF": the client's library index and the server record's tag columns (title through
// comment, 127 characters, blank-filled when the record was shorter).
struct SongInfo {
    std::int32_t index = 0;
    std::string tagColumns;
};
SongInfo ParseSongInfo(std::string_view payload);

// "#SCN": refused, done (with the server's closing text), or progress.
struct RescanReply {
    enum class Kind { Refused, Done, Progress };
    Kind kind = Kind::Progress;
    std::string text;  // closing or progress text; empty when refused
};
RescanReply ParseRescanReply(std::string_view payload);

// "#FIL": accepted, or rejected with the file name.
struct QueueAnswer {
    bool accepted = false;
    std::string file;  // the rejected file; empty when accepted
};
QueueAnswer ParseQueueAnswer(std::string_view payload);

// "#CIS" and "#LOG" payloads.
enum class Answer { Ack, Nak, Other };
Answer ParseQueueRoom(std::string_view payload);
enum class LogAnswer { Ack, Off, Max, Other };
LogAnswer ParseLogAnswer(std::string_view payload);

}  // namespace kv
