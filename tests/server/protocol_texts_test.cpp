// The fixed-format reply lines and the comma text of the client list.
#include "server/protocol_texts.h"

#include <gtest/gtest.h>

namespace {

TEST(PlayStatusReplyTest, FieldsFollowEachOther) {
    struct Case {
        std::string id;
        std::int32_t position, length;
        std::string file;
        std::int32_t size;
        std::string reply;
    };
    const Case cases[] = {
        {"", 0, 0, "", 0, "#PLY@0!0*:0$"},
        {"000042", 7000, 9000, "SONG.MP3", 5000, "#PLY0000427000!9000*SONG.MP3:5000$"},
        // The number always takes six characters, so the position can be found after it.
        {"42", 1, 2, " SONG.MP3 ", 3, "#PLY0000421!2*SONG.MP3:3$"},
        // No song active, the last song's size kept.
        {"", 0, 0, "", 4096, "#PLY@0!0*:4096$"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sonhall::PlayStatusReply(c.id, c.position, c.length, c.file, c.size), c.reply)
            << c.reply;
}

TEST(ServerInfoReplyTest, FixedWidthsCutLongNumbersToTheirFirstDigits) {
    struct Case {
        std::int64_t volume, connections, played, queue;
        std::string reply;
    };
    const Case cases[] = {
        {0, 0, 0, 0, "#INI000000000000000"},
        {65535, 2, 7, 100, "#INI655350200000710"},
        {123456, 123, 1234567, 5, "#INI123451212345605"},
    };
    for (const Case& c : cases) {
        const std::string reply =
            sonhall::ServerInfoReply(c.volume, c.connections, c.played, c.queue);
        EXPECT_EQ(reply, c.reply);
        EXPECT_EQ(reply.size(), 19u);
    }
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
        EXPECT_EQ(sonhall::CommaText(c.lines), c.text) << c.text;
}

}  // namespace
