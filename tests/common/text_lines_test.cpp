#include "common/text_lines.h"

#include <gtest/gtest.h>

namespace {

struct LinesCase {
    std::string_view text;
    std::vector<std::string> lines;
};

TEST(TextLines, EachLineEndEndsOneLine) {
    using namespace std::string_view_literals;
    const LinesCase cases[] = {
        {"", {}},
        {"A", {"A"}},
        {"A\r\nB\r\n", {"A", "B"}},
        {"A\nB\rC", {"A", "B", "C"}},
        {"A\r\r\nB", {"A", "", "B"}},
        {"A\n\rB", {"A", "", "B"}},
        {"\r\n", {""}},
        {"\r\n\r\n", {"", ""}},
        {"A\0B\r\n"sv, {std::string("A\0B", 3)}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(kv::TextLines(c.text), c.lines) << testing::PrintToString(std::string(c.text));
}

}  // namespace
