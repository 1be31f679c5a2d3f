#include "client/genre_names.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <set>

#include "client/song_sel_window.h"
#include "platform/qt/text_edge.h"
#include "tests/client/client_test_support.h"

namespace client_testing {
namespace {

TEST(GenreNameTest, NamesAsTabledAndBlankPastTheTable) {
    const struct {
        int genre;
        const char* name;
    } cases[] = {
        {0, "Blues"},        {12, "Other"},       {14, "R&B"},         {17, "Rock"},
        {29, "Jazz+Funk"},   {40, "AlternRock"},  {60, "Top 40"},      {62, "Pop/Funk"},
        {67, "Psychadelic"}, {78, "Rock & Roll"}, {85, "Bebob"},       {93, "Psychedelic Rock"},
        {123, "Acapella"},   {124, "Euro-House"}, {125, "Dance Hall"}, {126, "Blank"},
        {200, "Blank"},      {255, "Blank"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sonpad::GenreName(static_cast<std::uint8_t>(c.genre)), c.name) << c.genre;
}

TEST(GenreNameTest, EveryNamedGenreHasItsOwnName) {
    std::set<std::string> names;
    for (int genre = 0; genre < sonpad::kNamedGenres; ++genre) {
        const std::string name = sonpad::GenreName(static_cast<std::uint8_t>(genre));
        EXPECT_NE(name, "Blank") << genre;
        EXPECT_TRUE(names.insert(name).second) << "twice: " << name;
    }
}

class GenreComboTest : public ClientTest {};

TEST_F(GenreComboTest, PositionStandsForGenreNumberPlusOne) {
    Create();
    const QComboBox& combo = *songSel().cbGenre;
    ASSERT_EQ(combo.count(), 127);
    EXPECT_EQ(combo.itemText(0), "");
    EXPECT_EQ(combo.itemText(1), "Blues");
    EXPECT_EQ(combo.itemText(18), "Rock");
    EXPECT_EQ(combo.itemText(126), "Dance Hall");
    for (int p = 1; p < combo.count(); ++p)
        EXPECT_EQ(platform::fromLatin1(combo.itemText(p)),
                  songSel().GenreName(static_cast<std::uint8_t>(p - 1)));
}

}  // namespace
}  // namespace client_testing
