#include "platform/qt/locale_compare.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(LocaleCompare, IgnoresCaseAndOrdersLettersAsTheLocaleDoes) {
    EXPECT_EQ(platform::LocaleCompareNoCase("PARTY.PLY", "party.ply"), 0);
    EXPECT_LT(platform::LocaleCompareNoCase("apple", "Banana"), 0);  // bytes would put B first
    EXPECT_GT(platform::LocaleCompareNoCase("zebra", "Apple"), 0);
    EXPECT_NE(platform::LocaleCompareNoCase("abc", "abd"), 0);
}

TEST(LocaleCompare, SortedListKeepsTheFirstOfEqualTexts) {
    platform::LocaleSortedStrings list;
    EXPECT_TRUE(list.Add("beta"));
    EXPECT_TRUE(list.Add("ALPHA"));
    EXPECT_FALSE(list.Add("Beta"));
    EXPECT_TRUE(list.Add("gamma"));
    EXPECT_FALSE(list.Add("alpha"));
    EXPECT_TRUE(list.Contains("GAMMA"));
    EXPECT_FALSE(list.Contains("delta"));
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"ALPHA", "beta", "gamma"}));
}

}  // namespace
