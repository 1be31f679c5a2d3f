#include "common/text_helpers.h"

#include <gtest/gtest.h>

#include <climits>

#include "common/conversion.h"

namespace {

struct CutCase {
    const char* text;
    int n;
    const char* left;
    const char* right;
};

TEST(LeftRightChars, CutOrGiveEmptyText) {
    const CutCase cases[] = {
        {"ABC", 3, "ABC", "ABC"}, {"ABC", 4, "", ""},       {"ABCDE", 2, "AB", "DE"},
        {"ABC", 0, "", ""},       {"ABC", -1, "", ""},      {"", 0, "", ""},
        {"", 1, "", ""},          {"ABC", INT_MAX, "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(kv::LeftChars(c.text, c.n), c.left) << c.text << " " << c.n;
        EXPECT_EQ(kv::RightChars(c.text, c.n), c.right) << c.text << " " << c.n;
    }
}

struct PadCase {
    const char* text;
    int width;
    const char* fill;
    const char* left;
    const char* right;
};

TEST(PadLeftRight, FillAndCutOnTheRight) {
    const PadCase cases[] = {
        {"7", 6, "0", "000007", "700000"},
        {"7", 6, "x", "     7", "7     "},
        {"7", 3, "00", "  7", "7  "},  // only the exact one-character "0" fills with zeros
        {"7", 3, "", "  7", "7  "},
        {"", 3, " ", "   ", "   "},
        {"ABCDEF", 4, " ", "ABCD", "ABCD"},
        {"1234567", 6, "0", "123456", "123456"},  // cut on the right, not 234567
        {"ABC", 3, "0", "ABC", "ABC"},
        {"ABC", 0, "0", "", ""},
        {"ABC", -4, "0", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(kv::PadLeft(c.text, c.width, c.fill), c.left) << c.text << "/" << c.width;
        EXPECT_EQ(kv::PadRight(c.text, c.width, c.fill), c.right) << c.text << "/" << c.width;
    }
}

TEST(MsToMinSec, WholeSecondsUncappedMinutes) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {999, "00:00"}, {59999, "00:59"},    {61000, "01:01"},      {0, "00:00"},
        {-5, "00:00"},  {6000000, "100:00"}, {INT_MAX, "35791:23"}, {INT_MIN, "00:00"},
    };
    for (const auto& [ms, text] : cases)
        EXPECT_EQ(kv::MsToMinSec(ms), text) << ms;
}

TEST(TextRules, UpperCasesOnlyAsciiLettersAndTrimsControlCodes) {
    EXPECT_EQ(kv::UpperCase("abz\xe9{}"), "ABZ\xe9{}");
    EXPECT_EQ(kv::Trim("\t \x01 a b \r\n\x1f"), "a b");
    EXPECT_EQ(kv::Trim("\x7f"), "\x7f");
    EXPECT_EQ(kv::Trim("   "), "");
}

TEST(StrToInt, DecimalOnlyWithTheConversionError) {
    EXPECT_EQ(kv::StrToInt("12"), 12);
    EXPECT_EQ(kv::StrToInt("-7"), -7);
    EXPECT_EQ(kv::StrToInt("+3"), 3);
    EXPECT_EQ(kv::StrToInt("2147483647"), INT_MAX);
    EXPECT_EQ(kv::StrToInt("-2147483648"), INT_MIN);
    for (const char* bad : {"", "ABC", "12 ", " 12", "1.5", "2147483648", "-", "0x10"}) {
        try {
            kv::StrToInt(bad);
            ADD_FAILURE() << "no error for '" << bad << "'";
        } catch (const kv::ConversionError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "'" + std::string(bad) + "' is not a valid integer value");
        }
    }
}

}  // namespace
