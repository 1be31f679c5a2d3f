#include <gtest/gtest.h>

#include <QTreeWidget>
#include <string>
#include <vector>

#include "platform/ascii.h"
#include "platform/qt/text_edge.h"
#include "platform/widgets/text_sort.h"

namespace {

int sign(int v) {
    return (v > 0) - (v < 0);
}

struct OrderCase {
    const char* a;
    const char* b;
    int expected;  // sign of compare(a, b)
};

// Only a to z fold; "_" (0x5F) lies between the upper and lower letters, so folding to lower
// case or Unicode case folding would put it before the letters.
const OrderCase kOrderCases[] = {
    {"abc", "ABC", 0},
    {"Abc", "abD", -1},
    {"_", "a", 1},
    {"_", "Z", 1},
    {"a_b", "aab", 1},
    {"\xC9T\xC9", "\xE9t\xE9", -1},  // "ÉTÉ" against "été": Latin-1 letters keep their case
    {"\xE9", "\xC9", 1},
    {"\xE9", "z", 1},
    {"10", "9", -1},  // digits as text
    {"song 2", "Song 10", 1},
    {"ab", "abc", -1},
    {"", "a", -1},
    {"[", "a", 1},  // "[" (0x5B) after the upper-cased letters too
    {"@", "a", -1},
};

TEST(ListOrder, FoldsOnlyAToZOnBytesAndOnWidgetTexts) {
    for (const OrderCase& c : kOrderCases) {
        EXPECT_EQ(sign(platform::ascii::compareNoCaseAz(c.a, c.b)), c.expected)
            << '"' << c.a << "\" vs \"" << c.b << '"';
        EXPECT_EQ(
            sign(platform::widgets::CompareListText(platform::latin1(c.a), platform::latin1(c.b))),
            c.expected)
            << '"' << c.a << "\" vs \"" << c.b << "\" as widget text";
    }
}

TEST(ListOrder, ListViewSortsRowsByTheClickedColumn) {
    QTreeWidget view;
    view.setColumnCount(2);
    const std::vector<std::pair<const char*, const char*>> rows = {
        {"1", "_under"}, {"2", "beta"}, {"3", "\xC9t\xE9"}, {"4", "Alpha"}, {"5", "10"}};
    for (const auto& [caption, text] : rows)
        new platform::widgets::TextSortItem(
            &view, QStringList{platform::latin1(caption), platform::latin1(text)});
    platform::widgets::SortRowsByColumnText(&view, 1);
    std::vector<std::string> order;
    for (int i = 0; i < view.topLevelItemCount(); ++i)
        order.push_back(platform::fromLatin1(view.topLevelItem(i)->text(1)));
    EXPECT_EQ(order, (std::vector<std::string>{"10", "Alpha", "beta", "_under", "\xC9t\xE9"}));
}

}  // namespace
