#include "platform/qt/text_edge.h"

#include <gtest/gtest.h>

namespace {

TEST(FileNameEdge, EveryByteSequenceComesBackAsItWent) {
    const std::string cases[] = {
        "/music/plain.mp3",
        "/MUSIC/CAF\xc3\xa9/",               // UTF-8 é
        "/MUSIC/CAF\xc9/",                   // Latin-1 É
        "/m/\xe2\x82\xac \xf0\x9f\x8e\xb5",  // euro sign and a 4-byte character
        "\xc3",                              // cut short
        "\xe2\x82",                          // cut short
        "\xc0\xaf",                          // overlong "/"
        "\xed\xa0\x80",                      // an encoded surrogate
        "\xf4\x90\x80\x80",                  // beyond U+10FFFF
        "\xff\xfe\x80\xbf",
        "\xed\xb2\x80",  // what an escape would look like, encoded: invalid
        std::string("a\0b", 3),
    };
    for (const std::string& bytes : cases)
        EXPECT_EQ(platform::fromFileName(platform::fileName(bytes)), bytes);
}

TEST(FileNameEdge, ValidUtf8ShowsAsItsCharacters) {
    EXPECT_EQ(platform::fileName("caf\xc3\xa9"), QString::fromUtf8("caf\xc3\xa9"));
    EXPECT_EQ(platform::fileName("\xf0\x9f\x8e\xb5"), QString::fromUtf8("\xf0\x9f\x8e\xb5"));
    EXPECT_EQ(platform::fromFileName(QString::fromUtf8("\xe2\x82\xac")), "\xe2\x82\xac");
    // Texts typed into a field are never escapes: they go out as UTF-8.
    EXPECT_EQ(platform::fromFileName(QStringLiteral("\u00c9")), "\xc3\x89");
}

}  // namespace
