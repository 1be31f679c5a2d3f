#include "platform/qt/locale_compare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/scoped_locale.h"

namespace {

using platform::TextKind;
using Texts = std::vector<std::string>;

TEST(LocaleCompare, IgnoresCaseAndOrdersLettersAsTheLocaleDoes) {
    const testing_support::ScopedLocale locale("en_US");
    for (TextKind kind : {TextKind::FileName, TextKind::Latin1}) {
        EXPECT_EQ(platform::LocaleCompareNoCase("PARTY.PLY", "party.ply", kind), 0);
        EXPECT_LT(platform::LocaleCompareNoCase("apple", "Banana", kind), 0);  // not by bytes
        EXPECT_GT(platform::LocaleCompareNoCase("zebra", "Apple", kind), 0);
        EXPECT_NE(platform::LocaleCompareNoCase("abc", "abd", kind), 0);
    }
    // The same letters in the two encodings.
    EXPECT_LT(platform::LocaleCompareNoCase("\xC3\x89L.MP3", "\xC3\x98L.MP3", TextKind::FileName),
              0);
    EXPECT_LT(platform::LocaleCompareNoCase("\xC9L", "\xD8L", TextKind::Latin1), 0);
    EXPECT_LT(platform::LocaleCompareNoCase("AL.MP3", "\xC3\x85L.MP3", TextKind::FileName), 0);
}

TEST(LocaleCompare, SortedListKeepsTheFirstOfEqualTexts) {
    const testing_support::ScopedLocale locale("en_US");
    platform::LocaleSortedStrings list(TextKind::Latin1);
    EXPECT_TRUE(list.Add("beta"));
    EXPECT_TRUE(list.Add("ALPHA"));
    EXPECT_FALSE(list.Add("Beta"));
    EXPECT_TRUE(list.Add("gamma"));
    EXPECT_FALSE(list.Add("alpha"));
    // Upper-casing touches a to z only: these are two texts.
    EXPECT_TRUE(list.Add("\xE9lan"));
    EXPECT_FALSE(list.Add("\xE9LAN"));
    EXPECT_TRUE(list.Add("\xC9LAN"));
    EXPECT_TRUE(list.Contains("GAMMA"));
    EXPECT_FALSE(list.Contains("delta"));
    EXPECT_EQ(list.Items(), (Texts{"ALPHA", "beta", "\xC9LAN", "\xE9lan", "gamma"}));
}

// Names and keys that differ only in a letter beyond ASCII: each is kept, next to its base
// letter as the locale orders it; texts the locale calls equal follow their bytes.
TEST(LocaleCompare, SortedListKeepsEveryTextThatDiffersBeyondAToZCase) {
    struct Case {
        const char* locale;
        TextKind kind;
        Texts added;
        Texts items;
    } cases[] = {
        // UTF-8 names of the file system.
        {"en_US",
         TextKind::FileName,
         {"\xC3\x98L.MP3", "\xC3\x89L.MP3", "ZL.MP3", "\xC3\x85L.MP3", "OL.MP3", "EL.MP3",
          "AL.MP3"},
         {"AL.MP3", "\xC3\x85L.MP3", "EL.MP3", "\xC3\x89L.MP3", "OL.MP3", "\xC3\x98L.MP3",
          "ZL.MP3"}},
        // The locale decides: Swedish puts Å and Ø after Z.
        {"sv_SE",
         TextKind::FileName,
         {"\xC3\x98L.MP3", "\xC3\x89L.MP3", "ZL.MP3", "\xC3\x85L.MP3", "OL.MP3", "EL.MP3",
          "AL.MP3"},
         {"AL.MP3", "EL.MP3", "\xC3\x89L.MP3", "OL.MP3", "ZL.MP3", "\xC3\x85L.MP3",
          "\xC3\x98L.MP3"}},
        // É and é are one letter to a case-blind locale, two to upper-casing a to z.
        {"en_US",
         TextKind::FileName,
         {"\xC3\xA9L.MP3", "\xC3\x89L.MP3", "\xC3\xA9L.MP3"},
         {"\xC3\x89L.MP3", "\xC3\xA9L.MP3"}},
        // Bytes that are no UTF-8 (a Latin-1 name on disk) stay apart too.
        {"en_US",
         TextKind::FileName,
         {"\xC9L.MP3", "\xC5L.MP3", "\xC9L.MP3"},
         {"\xC5L.MP3", "\xC9L.MP3"}},
        // Tag texts in Latin-1.
        {"en_US",
         TextKind::Latin1,
         {"\xC9LAN VITAL", "\xE9LAN VITAL", "ELAN VITAL", "FLAN", "\xC9LAN VITAL"},
         {"ELAN VITAL", "\xC9LAN VITAL", "\xE9LAN VITAL", "FLAN"}},
        {"C", TextKind::Latin1, {"CAF\xE9", "CAF\xC9", "CAF\xE9"}, {"CAF\xC9", "CAF\xE9"}},
    };
    for (const Case& c : cases) {
        const testing_support::ScopedLocale locale(c.locale);
        // The same items whatever the order of adding.
        Texts added = c.added;
        for (int round = 0; round < 2; ++round) {
            platform::LocaleSortedStrings list(c.kind);
            for (const std::string& text : added)
                list.Add(text);
            EXPECT_EQ(list.Items(), c.items) << c.locale << " " << testing::PrintToString(added);
            std::reverse(added.begin(), added.end());
        }
    }
}

}  // namespace
