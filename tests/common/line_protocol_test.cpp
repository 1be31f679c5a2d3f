// The line protocol's wire format: each reply as the server builds it, read back as the client
// reads it (through the same split into type and payload), and the malformed replies a client
// may meet.
#include "common/line_protocol.h"

#include <gtest/gtest.h>

#include "common/conversion.h"
#include "common/song_record.h"
#include "common/text_helpers.h"

namespace {

// What the client's reader sees of a whole reply line.
kv::Reply Read(const std::string& line, std::string_view type) {
    const kv::Reply reply = kv::SplitReply(line);
    EXPECT_EQ(reply.type, type) << line;
    return reply;
}

TEST(PlayStatusWireTest, TheClientReadsBackWhatTheServerBuilt) {
    struct Case {
        std::string id;
        std::int32_t position, length;
        std::string file;
        std::int32_t size;
        std::string line;
    };
    const Case cases[] = {
        {"", 0, 0, "", 0, "#PLY@0!0*:0$"},
        {"000042", 7000, 9000, "SONG.MP3", 5000, "#PLY0000427000!9000*SONG.MP3:5000$"},
        // The number always takes six characters, so the position can be found after it.
        {"42", 1, 2, " SONG.MP3 ", 3, "#PLY0000421!2*SONG.MP3:3$"},
        // No song active, the last song's size kept.
        {"", 0, 0, "", 4096, "#PLY@0!0*:4096$"},
        // Separators inside the file name.
        {"000007", 0, 180000, "A!B*C:D.MP3", 1, "#PLY0000070!180000*A!B*C:D.MP3:1$"},
        {"999999", 2147483647, 2147483647, "X.MP3", 2147483647,
         "#PLY9999992147483647!2147483647*X.MP3:2147483647$"},
    };
    for (const Case& c : cases) {
        const std::string line = kv::PlayStatusReply(c.id, c.position, c.length, c.file, c.size);
        EXPECT_EQ(line, c.line);
        const kv::PlayStatus status = kv::ParsePlayStatus(Read(line, "PLY").payload);
        EXPECT_EQ(status.active, !c.id.empty()) << line;
        if (!status.active)
            continue;
        EXPECT_EQ(status.songId, kv::PadLeft(c.id, 6, "0")) << line;
        EXPECT_EQ(status.position, c.position) << line;
        EXPECT_EQ(kv::ParsePlayPosition(Read(line, "PLY").payload), c.position) << line;
        EXPECT_EQ(status.length, c.length) << line;
        EXPECT_EQ(status.fileName, kv::Trim(c.file)) << line;
        EXPECT_EQ(status.fileSize, c.size) << line;
    }
}

TEST(ServerInfoWireTest, FixedWidthsReadBackWithTheirZeros) {
    struct Case {
        std::int64_t volume, connections, played, queue;
        std::string line;
        std::int32_t readVolume;
        std::string users, readPlayed, readQueue;
    };
    const Case cases[] = {
        {0, 0, 0, 0, "#INI000000000000000", 0, "00", "000000", "00"},
        {65535, 2, 7, 100, "#INI655350200000710", 65535, "02", "000007", "10"},
        // Longer numbers keep their first digits.
        {123456, 123, 1234567, 5, "#INI123451212345605", 12345, "12", "123456", "05"},
    };
    for (const Case& c : cases) {
        const std::string line = kv::ServerInfoReply(c.volume, c.connections, c.played, c.queue);
        EXPECT_EQ(line, c.line);
        EXPECT_EQ(line.size(), 19u);
        const kv::ServerInfo info = kv::ParseServerInfo(Read(line, "INI").payload);
        EXPECT_EQ(info.volume, c.readVolume) << line;
        EXPECT_EQ(info.users, c.users) << line;
        EXPECT_EQ(info.songsPlayed, c.readPlayed) << line;
        EXPECT_EQ(info.queueLength, c.readQueue) << line;
    }
}

TEST(SongInfoWireTest, TheRequestIndexAndTheTagColumnsComeBack) {
    kv::SongFields full{"Title", "Artist", "17", "Album", "1999", "Comment", "/MUSIC/A/SONG.MP3"};
    kv::SongFields empty{};
    empty.path = "/X.MP3";
    struct Case {
        std::int32_t index;
        std::string file;
        std::int64_t serverNumber;
        kv::SongFields fields;
    };
    const Case cases[] = {
        {0, "song.mp3", 1, full},
        {42, "X.MP3", 999999, empty},
        {123456, "Été.mp3", 7, full},
    };
    for (const Case& c : cases) {
        const std::string entry = kv::SongInfoRequestEntry(c.index, c.file);
        const kv::SongInfoRequest request = kv::ParseSongInfoRequest(entry);
        EXPECT_EQ(request.index, kv::PadLeft(std::to_string(c.index), 6, "0"));
        EXPECT_EQ(request.fileName, kv::UpperCase(c.file));

        const std::string record = kv::BuildSongRecord(c.serverNumber, c.fields);
        const std::string line = kv::SongInfoReply(request.index, record);
        const kv::SongInfo info = kv::ParseSongInfo(Read(line, "SIF").payload);
        EXPECT_EQ(info.index, c.index) << line;
        EXPECT_EQ(info.tagColumns, kv::UpperCase(kv::RecordTagColumns(record))) << line;
        EXPECT_EQ(info.tagColumns.size(), 127u) << line;
    }
}

TEST(RescanWireTest, RefusalStartProgressAndEndAreTold) {
    using Kind = kv::RescanReply::Kind;
    struct Case {
        std::string line;
        Kind kind;
        std::string text;
    };
    const Case cases[] = {
        {std::string(kv::kRescanRefused), Kind::Refused, ""},
        {std::string(kv::kRescanStarted), Kind::Progress, "SERVER RE-SCAN REQUEST INITIATED..."},
        {kv::RescanProgressReply("  Reading 3/12 "), Kind::Progress, "READING 3/12"},
        {kv::RescanDoneReply("Server read: 12 files "), Kind::Done, "SERVER READ: 12 FILES"},
        {kv::RescanDoneReply(""), Kind::Done, ""},
    };
    for (const Case& c : cases) {
        const kv::RescanReply reply = kv::ParseRescanReply(Read(c.line, "SCN").payload);
        EXPECT_EQ(reply.kind, c.kind) << c.line;
        EXPECT_EQ(reply.text, c.text) << c.line;
    }
    EXPECT_EQ(kv::RescanProgressReply(" Reading 1/2 "), "#SCNReading 1/2");
}

TEST(AnswerWireTest, AcknowledgementsAndRefusalsAreTold) {
    EXPECT_EQ(kv::ParseQueueRoom(Read(kv::QueueRoomReply(true), "CIS").payload), kv::Answer::Ack);
    EXPECT_EQ(kv::ParseQueueRoom(Read(kv::QueueRoomReply(false), "CIS").payload), kv::Answer::Nak);
    EXPECT_EQ(kv::ParseQueueRoom("MAYBE"), kv::Answer::Other);

    struct QueueCase {
        bool queued;
        std::string file;
    };
    for (const QueueCase& c :
         {QueueCase{true, "song.mp3"}, QueueCase{false, "song.mp3"}, QueueCase{false, "A B.MP3"}}) {
        const std::string line = kv::QueueReply(c.queued, c.file);
        const kv::QueueAnswer answer = kv::ParseQueueAnswer(Read(line, "FIL").payload);
        EXPECT_EQ(answer.accepted, c.queued) << line;
        EXPECT_EQ(answer.file, c.queued ? "" : kv::UpperCase(c.file)) << line;
    }

    struct LogCase {
        std::string_view line;
        kv::LogAnswer answer;
    };
    for (const LogCase& c :
         {LogCase{kv::kLogAck, kv::LogAnswer::Ack}, LogCase{kv::kLogOff, kv::LogAnswer::Off},
          LogCase{kv::kLogMax, kv::LogAnswer::Max}, LogCase{"#LOGwho", kv::LogAnswer::Other}})
        EXPECT_EQ(kv::ParseLogAnswer(Read(std::string(c.line), "LOG").payload), c.answer) << c.line;
    EXPECT_EQ(Read(std::string(kv::kSkipDone), "COM").payload, "NEXT");
    EXPECT_EQ(Read(std::string(kv::kAvailable), "AVL").payload, "");
}

TEST(CommaTextTest, QuotesWhatWouldBreakTheList) {
    struct Case {
        std::vector<std::string> lines;
        std::string text;
    };
    const Case cases[] = {
        {{}, ""},
        {{""}, "\"\""},
        {{"KITCHEN", "Logging In"}, "KITCHEN,\"Logging In\""},
        {{"A\"B"}, "\"A\"\"B\""},
        {{"A,B", "C"}, "\"A,B\",C"},
        {{"TAB\tHERE"}, "\"TAB\tHERE\""},
        {{"", "X"}, ",X"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kv::ClientListReply(c.lines), "@clients:" + c.text) << c.text;
}

TEST(OtherLinesWireTest, BroadcastsAndNoticesShowAsTheirText) {
    struct Case {
        std::string sender, text, line, shown;
    };
    const Case cases[] = {
        {"System", std::string(kv::kGreeting), "SONHALL II", "SONHALL II"},
        {"System", kv::JoinedText("Kitchen"), "Kitchen has just logged in.",
         "KITCHEN HAS JUST LOGGED IN."},
        {"System", kv::LeftText("Den"), "Den has disconnected.", "DEN HAS DISCONNECTED."},
        {"System", kv::JoinedText(""), "has just logged in.", "HAS JUST LOGGED IN."},
        {"KITCHEN", " hello ", "KITCHEN: hello", "HELLO"},
        {"DEN", "a: b", "DEN: a: b", "A: B"},
    };
    for (const Case& c : cases) {
        const std::string line = kv::BroadcastLine(c.sender, c.text);
        EXPECT_EQ(line, c.line);
        EXPECT_EQ(kv::ServerMessageText(line), c.shown) << line;
    }
    EXPECT_EQ(kv::LogInLine(" Den "), ">>> Den ");
}

TEST(MalformedReplyTest, BadFieldsAreReportedNotGuessed) {
    struct Case {
        const char* what;
        std::string line;
        std::string error;  // part of the message
    };
    const Case cases[] = {
        {"a position that is not a number", "#PLY000042x!9000*S.MP3:5$", "'X' is not a valid"},
        {"a length that is not a number", "#PLY0000427!*S.MP3:5$", "'' is not a valid"},
        {"a size that is not a number", "#PLY0000427!9*S.MP3:5k$", "'5K' is not a valid"},
        {"no position separator", "#PLY0000427000", "no \"!\""},
        {"no length separator", "#PLY0000427!9000", "no \"*\""},
        {"no size separator", "#PLY0000427!9000*S.MP3", "no \":\""},
        {"a cut line", "#PLY00004", "no \"!\""},
        {"a volume that is not a number", "#INI6553x0200000710", "'6553X' is not a valid"},
        {"a short information line", "#INI6553502", "too short"},
        {"an index that is not a number", "#SIF00a042000001TITLE", "'00A042' is not a valid"},
    };
    for (const Case& c : cases) {
        const kv::Reply reply = kv::SplitReply(c.line);
        try {
            if (reply.type == "PLY")
                kv::ParsePlayStatus(reply.payload);
            else if (reply.type == "INI")
                kv::ParseServerInfo(reply.payload);
            else
                kv::ParseSongInfo(reply.payload);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const platform::Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos)
                << c.what << ": " << e.what();
        }
    }
}

TEST(MalformedReplyTest, ShortAndEmptyLinesSplitIntoEmptyParts) {
    for (const std::string line : {"#", "#P", "#PLY", "# ", ""}) {
        const kv::Reply reply = kv::SplitReply(line);
        EXPECT_EQ(reply.payload, "") << line;
    }
    EXPECT_EQ(kv::SplitReply("#ply 000001").type, "PLY");
    EXPECT_EQ(kv::SplitReply("#SC").type, "SC");
}

TEST(MalformedReplyTest, ANulByteIsNoBlankAndTheErrorShowsTheWholeLine) {
    using namespace std::string_literals;
    for (const auto& [line, shown] :
         {std::pair{"#CIS\0ack"s, "#CIS<NUL>ack"s}, std::pair{"#LOGoff\0"s, "#LOGoff<NUL>"s},
          std::pair{"#\0"s, "#<NUL>"s},
          std::pair{"#PLY0\0\0"
                    "1!2*A.MP3:3$"s,
                    "#PLY0<NUL><NUL>1!2*A.MP3:3$"s}}) {
        try {
            kv::SplitReply(line);
            ADD_FAILURE() << shown << ": no error";
        } catch (const kv::ReplyError& e) {
            EXPECT_EQ(std::string(e.what()), "The reply \"" + shown + "\" holds a NUL byte");
        }
    }
}

}  // namespace
