// The song queue: the random choice, which entry plays next, the play state, the local
// player's tick and the handlers of the queue and library lists.
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeZone>
#include <QToolButton>
#include <QTreeWidget>

#include "client/data_module.h"
#include "client/random_pick.h"
#include "client/setup_window.h"
#include "platform/qt/text_edge.h"
#include "platform/qt/tick_timer.h"
#include "platform/widgets/spin_edit.h"
#include "platform/widgets/status_panels.h"
#include "tests/client/selection_fixture.h"
#include "tests/support/socket_peers.h"

namespace client_testing {
namespace {

TEST(RandomPickTest, DrawsFromTheClockLikeTheGeneratorAlwaysDid) {
    struct Case {
        std::uint32_t clockMs;
        int n;
        int pick;
        int pauses;
    };
    // Worked out by hand from state := state x 134775813 + 1 and (state x n) >> 32.
    for (const Case& c : {Case{0, 1, 0, 6}, Case{0, 10, 3, 6}, Case{50707000, 20, 5, 9},
                          Case{86399999, 3, 0, 10}, Case{12345678, 10000, 8730, 9}}) {
        sonpad::RandomGenerator generator;
        int pauses = 0;
        const int pick = sonpad::RandomPick(
            generator, c.n, [&] { return c.clockMs; }, [&](int ms) { pauses += ms; });
        EXPECT_EQ(pick, c.pick) << c.clockMs << " / " << c.n;
        EXPECT_EQ(pauses, c.pauses) << c.clockMs << " / " << c.n;
    }
    // The state wraps at 2^32.
    sonpad::RandomGenerator generator;
    generator.Reseed(0xFFFFFFFFu);
    EXPECT_EQ(generator.Draw(1000), 968u);
    EXPECT_EQ(generator.State(), 4160191484u);
}

class QueueTest : public SelectionTest {
  protected:
    void SetUp() override {
        SelectionTest::SetUp();
        SetClock(0);
    }
    // 14:05:07 and some milliseconds, UTC.
    void SetClock(int ms) {
        now = QDateTime(QDate(2024, 3, 9), QTime(14, 5, 7, ms), QTimeZone::utc());
    }
    // A song whose file exists; its number is its place in the library.
    std::string Song(std::string_view title) {
        const std::string name = "SONG" + std::to_string(main().SongLibrary.size() + 1) + ".MP3";
        dir.write(name, "mp3 bytes");
        return AddSong(dir / name, title);
    }
    void Queue(const std::vector<std::string>& numbers) {
        for (const std::string& n : numbers)
            dm().AddSongToQue(n);
    }
    QTreeWidget& queue() { return *main().ListView1; }
    std::vector<std::string> QueueNumbers() {
        std::vector<std::string> out;
        for (int i = 0; i < queue().topLevelItemCount(); ++i)
            out.push_back(queue().topLevelItem(i)->text(0).toStdString());
        return out;
    }
    std::vector<bool> Played() {
        std::vector<bool> out;
        for (int i = 0; i < queue().topLevelItemCount(); ++i)
            out.push_back(sonpad::TaMain::QueueRowPlayed(queue().topLevelItem(i)));
        return out;
    }
    std::string Status(int panel) { return main().StatusBar1->Text(panel); }
    std::string QueueCaption() { return main().GroupSongQue->title().toStdString(); }
    static bool Lit(QFrame* lamp) {
        return lamp->palette().color(QPalette::Window) == QColor(0, 255, 0);
    }
    std::vector<bool> Lamps() {
        return {Lit(main().Panel3), Lit(main().Panel4), Lit(main().Panel5)};
    }
    std::vector<std::string> Opened() {
        std::vector<std::string> out;
        for (const std::string& call : player->calls)
            if (call.rfind("open ", 0) == 0)
                out.push_back(call.substr(call.rfind('/') + 1));
        return out;
    }
};

TEST_F(QueueTest, SequentialLimitDecidesBetweenListOrderAndRandomChoice) {
    struct Case {
        int limit;
        bool sequential;
        int entries;
        int chosen;  // the row marked played
    };
    // At 14:05:07.001 a pick below 6 gives 5.
    for (const Case& c :
         {Case{5, false, 6, 5}, Case{5, false, 5, 0}, Case{3, false, 3, 0}, Case{3, true, 6, 0}}) {
        queue().clear();
        std::vector<std::string> numbers;
        for (int i = 0; i < c.entries; ++i)
            numbers.push_back(Song("Title " + std::to_string(i)));
        Queue(numbers);
        main().seSeqLimit->SetValue(c.limit);
        main().cbSeqPlay->setChecked(c.sequential);
        SetClock(1);
        pausedMs = 0;
        EXPECT_TRUE(main().PlayNextFromQueue());
        std::vector<bool> expected(static_cast<std::size_t>(c.entries), false);
        expected[static_cast<std::size_t>(c.chosen)] = true;
        EXPECT_EQ(Played(), expected) << c.limit << " " << c.sequential << " " << c.entries;
        EXPECT_EQ(pausedMs, c.chosen == 5 ? 9 : 0);
        EXPECT_EQ(main().CurrentSongId, numbers[static_cast<std::size_t>(c.chosen)]);
        EXPECT_TRUE(main().Playing);
        EXPECT_EQ(Status(0), "LOCAL");
    }
}

TEST_F(QueueTest, OneEntryOverFivePassesWithAndWithoutPlayOnce) {
    Queue({Song("Only")});
    for (int call = 1; call <= 11; ++call) {
        EXPECT_TRUE(main().PlayNextFromQueue()) << call;
        const bool plays = call % 2 == 1;
        EXPECT_EQ(Opened().size(), static_cast<std::size_t>((call + 1) / 2)) << call;
        EXPECT_EQ(Played(), std::vector<bool>{plays}) << call;
        EXPECT_EQ(main().RepeatCount, call / 2) << call;
    }
    EXPECT_EQ(QueueCaption(), "[ SONG QUE (Total/Played/Repeat: 1/1/5) ]");

    main().ClearPlayTags();
    EXPECT_EQ(QueueCaption(), "[ SONG QUE (Total/Played/Repeat: 1/0/0) ]");
    main().cbPlayListOnce->setChecked(true);
    EXPECT_TRUE(main().PlayNextFromQueue());
    EXPECT_TRUE(main().Playing);
    EXPECT_TRUE(main().PlayNextFromQueue());
    EXPECT_EQ(Played(), std::vector<bool>{false});
    EXPECT_EQ(Status(1), "All songs in Song Que have been played.");
    EXPECT_EQ(Status(2), "STOP");
    EXPECT_FALSE(main().Playing);
    EXPECT_FALSE(main().LocalSongOpen);
    EXPECT_EQ(Lamps(), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(main().RepeatCount, 1);
}

TEST_F(QueueTest, RemoveSongTakesTheFirstRowOfTheChosenNumber) {
    const std::string x = Song("X"), y = Song("Y"), z = Song("Z");
    Queue({x, y, x, z});
    main().seSeqLimit->SetValue(3);
    main().cbRemoveSong->setChecked(true);
    SetClock(2);  // a pick below 4 gives 2: the second row of x
    EXPECT_TRUE(main().PlayNextFromQueue());
    EXPECT_EQ(QueueNumbers(), (std::vector<std::string>{y, x, z}));
    EXPECT_EQ(Played(), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(main().CurrentSongId, x);
}

TEST_F(QueueTest, RemoveSongWithPlayOnceEmptiesTheQueueThenStops) {
    Queue({Song("A"), Song("B")});
    main().cbRemoveSong->setChecked(true);
    main().cbPlayListOnce->setChecked(true);
    EXPECT_TRUE(main().PlayNextFromQueue());
    EXPECT_TRUE(main().PlayNextFromQueue());
    EXPECT_EQ(queue().topLevelItemCount(), 0);
    EXPECT_EQ(QueueCaption(), "[ SONG QUE ]");
    EXPECT_FALSE(main().PlayNextFromQueue());
    EXPECT_EQ(Status(1), "There are no songs selected.");
    EXPECT_EQ(Status(2), "STOP");
    EXPECT_FALSE(main().Playing);
}

TEST_F(QueueTest, AnEntryThatCannotPlayIsMarkedAndPassedOverSilently) {
    const std::string bad = Song("Bad"), good = Song("Good");
    player->unplayable.insert(dir / "SONG1.MP3");
    Queue({bad, good, "000099"});
    main().cbSeqPlay->setChecked(true);
    EXPECT_FALSE(main().PlayNextFromQueue());
    EXPECT_EQ(Played(), (std::vector<bool>{true, false}));
    EXPECT_EQ(main().PlayedCount, 0);
    EXPECT_FALSE(main().LocalSongOpen);
    EXPECT_TRUE(main().CurrentSongId.empty());
    EXPECT_TRUE(main().PlayNextFromQueue());
    EXPECT_EQ(main().PlayedCount, 1);
    // A number the library does not hold is never added.
    EXPECT_EQ(queue().topLevelItemCount(), 2);
}

TEST_F(QueueTest, PlayStateSetsLampsAndButtons) {
    main().SetPlayState("NEXT");
    EXPECT_EQ(Lamps(), (std::vector<bool>{false, false, true}));
    EXPECT_FALSE(main().Playing);
    EXPECT_TRUE(Status(2).empty());
    main().btnPlayClick();
    EXPECT_EQ(Lamps(), (std::vector<bool>{false, true, false}));
    EXPECT_TRUE(main().Playing);
    EXPECT_TRUE(main().Timer1->Enabled());
    EXPECT_EQ(Status(2), "PLAY");
    EXPECT_TRUE(main().SpeedButton5->isHidden());
    main().btnStopClick();
    EXPECT_EQ(Lamps(), (std::vector<bool>{true, false, false}));
    EXPECT_FALSE(main().SpeedButton5->isHidden());
    EXPECT_EQ(Status(2), "STOP");
}

TEST_F(QueueTest, LocalTickFollowsTheSongAndStartsTheNextAtItsEnd) {
    const std::string a = Song("A"), b = Song("B");
    player->lengths[dir / "SONG1.MP3"] = 10000;
    Queue({a, b});
    main().cbSeqPlay->setChecked(true);
    main().btnPlayClick();
    main().Timer1Timer();
    EXPECT_TRUE(main().LocalSongOpen);
    EXPECT_EQ(main().CurrentSongId, a);
    EXPECT_EQ(main().CurrentLength, 10000);
    player->advance(2500);
    main().Timer1Timer();
    EXPECT_EQ(main().CurrentPosition, 2500);
    EXPECT_EQ(main().PercentText, "25");
    EXPECT_EQ(main().RemainingText, "-00:07");
    EXPECT_TRUE(main().Timer1->Enabled());
    player->advance(10000);
    main().Timer1Timer();
    EXPECT_EQ(Opened(), (std::vector<std::string>{"SONG1.MP3", "SONG2.MP3"}));
    EXPECT_EQ(main().CurrentSongId, b);
    EXPECT_EQ(QueueCaption(), "[ SONG QUE (Total/Played/Repeat: 2/2/0) ]");

    // An emptied queue stops at the next tick without a word.
    queue().clear();
    main().SetPlayState("NEXT");
    main().Timer1Timer();
    EXPECT_FALSE(main().Playing);
    EXPECT_EQ(Status(2), "STOP");
}

TEST_F(QueueTest, PlayWithAnEmptyQueueStopsAtTheTickAndNextWhileStoppedPlaysNothing) {
    main().btnPlayClick();
    EXPECT_TRUE(main().Playing);
    main().Timer1Timer();
    EXPECT_FALSE(main().Playing);
    EXPECT_EQ(Lamps(), (std::vector<bool>{true, false, false}));
    EXPECT_TRUE(Opened().empty());

    Queue({Song("A")});
    main().btnNextClick();
    main().Timer1Timer();
    EXPECT_FALSE(main().Playing);
    EXPECT_FALSE(main().LocalSongOpen);
    EXPECT_TRUE(Opened().empty());
    EXPECT_EQ(Played(), std::vector<bool>{false});
}

TEST_F(QueueTest, GenreAndPlaylistQuickSelectionsFillTheQueue) {
    auto genreLine = [](std::string genre, std::string title, std::string no) {
        genre.resize(30, ' ');
        title.resize(30, ' ');
        return genre + title + no;
    };
    const std::string a = Song("Alpha"), b = Song("Beta"), c = Song("Gamma");
    main().GenreIndex = {genreLine("BLUES", "Alpha", a), genreLine("ROCK", "Beta", b),
                         genreLine("ROCK", "Gamma", c)};
    main().ComboBox1->addItem("Pop");  // the first item becomes the current one
    main().LoadGenreSelection();
    EXPECT_EQ(main().Label4->text(), "0");
    EXPECT_FALSE(main().btnGenreGo->isEnabled());
    main().ComboBox1->addItem(" rock ");
    main().ComboBox1->setCurrentIndex(1);
    main().LoadGenreSelection();
    EXPECT_EQ(main().Label4->text(), "2");
    EXPECT_TRUE(main().btnGenreGo->isEnabled());

    // A playlist of 10 lines, 2 of them unknown.
    const std::string lists = dir.mkdir("lists");
    std::string text;
    for (int i = 0; i < 8; ++i)
        text += (i % 2 ? "song1.mp3" : "SONG3.MP3") + std::string("\r\n");
    text += "NOPE1.MP3\r\nNOPE2.MP3\r\n";
    dir.write("lists/MIX.PLY", text);
    const std::string folder = lists.back() == '/' ? lists : lists + "/";
    setup().Edit2->setText(platform::fileName(folder));
    dialogs.expectMessage("Song \"NOPE1.MP3\" not loaded!")
        .expectMessage("Song \"NOPE2.MP3\" not loaded!");
    main().ComboBox2->addItem("MIX.PLY");  // filling the combo reads nothing
    main().LoadPlaylistSelection();
    EXPECT_EQ(main().Label6->text(), "10");
    EXPECT_TRUE(main().btnPlaylistGo->isEnabled());
    EXPECT_TRUE(main().btnGenreGo->isEnabled());
    main().btnGenreGoClick();  // adds the playlist's songs, the selection changed last
    EXPECT_EQ(queue().topLevelItemCount(), 8);
    EXPECT_EQ(QueueNumbers()[1], a);
    main().btnPlaylistGoClick();
    EXPECT_EQ(queue().topLevelItemCount(), 8);
    EXPECT_FALSE(main().btnPlaylistGo->isEnabled());
    EXPECT_EQ(main().Label6->text(), "10");

    main().ComboBox2->addItem("GONE.PLY");
    // The folder field holds its path in upper case.
    dialogs.expectMessage("I cannot locate Playlist \"" +
                          platform::fromFileName(setup().Edit2->text()) + "GONE.PLY\"");
    main().ComboBox2->setCurrentIndex(1);
    main().LoadPlaylistSelection();
    EXPECT_EQ(main().Label6->text(), "0");
}

// Both combos take typed text, and every key the user types changes the quick selection; a
// text that names no genre or playlist finds nothing.
TEST_F(QueueTest, TypingInTheQuickSelectionCombosSelectsAtEveryKey) {
    const std::string a = Song("Alpha"), b = Song("Beta");
    std::string rock = "ROCK", title = "Beta";
    rock.resize(30, ' ');
    title.resize(30, ' ');
    main().GenreIndex = {rock + title + b};
    main().ComboBox1->addItems({"Blank", "Rock"});
    main().ComboBox1->setCurrentIndex(-1);
    QLineEdit* genre = main().ComboBox1->lineEdit();
    ASSERT_NE(genre, nullptr) << "the genre combo takes typed text";
    const std::pair<const char*, const char*> keys[] = {
        {"r", "0"}, {"o", "0"}, {"c", "0"}, {"k", "1"}, {"s", "0"}};
    for (const auto& [key, count] : keys) {
        QTest::keyClicks(genre, key);
        EXPECT_EQ(main().Label4->text(), count) << genre->text().toStdString();
        EXPECT_EQ(main().btnGenreGo->isEnabled(), std::string(count) != "0");
    }
    QTest::keyClick(genre, Qt::Key_Backspace);
    EXPECT_EQ(main().Label4->text(), "1") << "\"rock\" again";
    QTest::keyClick(genre, Qt::Key_Return);
    EXPECT_EQ(main().ComboBox1->count(), 2) << "typed text joins no list";

    const std::string lists = dir.mkdir("lists");
    dir.write("lists/AB.PLY", "song1.mp3\r\n");
    setup().Edit2->setText(platform::fileName(lists.back() == '/' ? lists : lists + "/"));
    QLineEdit* playlist = main().ComboBox2->lineEdit();
    ASSERT_NE(playlist, nullptr) << "the playlist combo takes typed text";
    const std::string folder = platform::fromFileName(setup().Edit2->text());
    for (const char* partial : {"A", "AB", "AB.", "AB.P", "AB.PL"})
        dialogs.expectMessage("I cannot locate Playlist \"" + folder + partial + "\"");
    QTest::keyClicks(playlist, "AB.PLY");
    EXPECT_EQ(dialogs.pending(), 0u);
    EXPECT_EQ(main().Label6->text(), "1");
    EXPECT_TRUE(main().btnPlaylistGo->isEnabled());
    main().btnPlaylistGoClick();
    EXPECT_EQ(QueueNumbers(), std::vector<std::string>{a});
}

TEST_F(QueueTest, LibraryRowsGoToTheQueueAndToMySelection) {
    const std::string a = Song("Alpha"), b = Song("Beta");
    for (const std::string& n : {a, b})
        main().ListView2->addTopLevelItem(
            new QTreeWidgetItem(QStringList{platform::latin1(n), "Title " + platform::latin1(n)}));
    main().ListView2DblClick();  // nothing selected
    EXPECT_EQ(queue().topLevelItemCount(), 0);
    QTreeWidgetItem* first = main().ListView2->topLevelItem(0);
    first->setSelected(true);
    main().ListView2Click();
    EXPECT_FALSE(main().SendSelectedSongstoMusicQue1->isEnabled());
    main().ListView2DblClick();
    main().ListView2DblClick();
    EXPECT_EQ(QueueNumbers(), (std::vector<std::string>{a, a}));
    EXPECT_EQ(Status(1), "\"Title " + a + "\" added to que.");
    main().ListView2->topLevelItem(1)->setSelected(true);
    main().ListView2Click();
    EXPECT_TRUE(main().SendSelectedSongstoMusicQue1->isEnabled());
    EXPECT_TRUE(main().SendSelectedSongstomySelections1->isEnabled());
    main().SendSelectedSongstoMusicQue1Click();
    EXPECT_EQ(QueueNumbers(), (std::vector<std::string>{a, a, a, b}));
    EXPECT_EQ(Status(1), "2 songs submitted to \"Song Que\".");
    main().SendSelectedSongstomySelections1Click();
    EXPECT_EQ(list().topLevelItemCount(), 2);
    EXPECT_EQ(Status(1), "2 songs copied to \"my Selection\".");

    dialogs.expectConfirm(false, "Copy 4 songs. Are you sure?").expectConfirm(true);
    main().btnCopyToselectionClick();
    EXPECT_EQ(list().topLevelItemCount(), 2);
    main().btnCopyToselectionClick();
    EXPECT_EQ(list().topLevelItemCount(), 6);
}

TEST_F(QueueTest, ClearingDeletingAndSortingTheQueue) {
    const std::string c = Song("charlie"), a = Song("Alpha"), b = Song("bravo");
    Queue({c, a, b});
    main().ListView1ColumnClick(&queue(), 1);
    EXPECT_EQ(QueueNumbers(), (std::vector<std::string>{a, b, c}));
    main().cbSeqPlay->setChecked(true);
    main().PlayNextFromQueue();
    EXPECT_EQ(main().CurrentSongId, a);

    dialogs.expectConfirm(true, "Clear tags? Are you sure?");
    main().btnClearTagClick();
    EXPECT_EQ(Played(), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(main().PlayedCount, 0);

    dialogs.expectMessage("Please select Song to delete.");
    main().ListView1DblClick();
    queue().topLevelItem(1)->setSelected(true);
    dialogs.expectConfirm(false, "Delete \"bravo\"?").expectConfirm(true, "Delete \"bravo\"?");
    main().ListView1DblClick();
    EXPECT_EQ(queue().topLevelItemCount(), 3);
    main().ListView1DblClick();
    EXPECT_EQ(QueueNumbers(), (std::vector<std::string>{a, c}));
    for (int i = 0; i < 2; ++i)
        queue().topLevelItem(i)->setSelected(true);
    main().ListView1KeyDown(Qt::Key_A);
    EXPECT_EQ(queue().topLevelItemCount(), 2);
    main().ListView1KeyDown(Qt::Key_Delete);
    EXPECT_EQ(queue().topLevelItemCount(), 0);
    EXPECT_EQ(QueueCaption(), "[ SONG QUE ]");

    main().btnClearQueClick();  // an empty queue asks nothing
    Queue({a});
    dialogs.expectConfirm(true, "Clear Song Que?");
    main().btnClearQueClick();
    EXPECT_EQ(queue().topLevelItemCount(), 0);
    EXPECT_EQ(QueueCaption(), "[ SONG QUE ]");
}

TEST_F(QueueTest, ClientModeSubmitsTheChosenEntryAndAsksOnceForPlay) {
    testing_support::RawListener server;
    testing_support::RawSocket peer = ConnectClientTo(server);
    setup().Edit1->setText(" kitchen ");  // the field keeps names in upper case
    const std::string a = Song("Alpha"), b = Song("Beta");
    Queue({a, b});
    main().cbRemoveSong->setChecked(true);

    main().btnPlayClick();
    EXPECT_TRUE(main().CisPending);
    main().btnPlayClick();  // already playing: no second question
    EXPECT_TRUE(main().PlayNextFromQueue());
    EXPECT_EQ(Status(1), "\"Alpha (Artist) \" submitted to Sonhall.");
    EXPECT_EQ(main().PlayedCount, 1);
    // Taken, and so removed, once the server answered.
    EXPECT_EQ(QueueNumbers(), (std::vector<std::string>{a, b}));
    main().HandleServerLine("#FILackSONG1.MP3");
    EXPECT_EQ(QueueNumbers(), std::vector<std::string>{b});
    main().btnNextClick();
    EXPECT_FALSE(main().btnNext->isEnabled());
    EXPECT_EQ(peer.receiveLine(), "#CISKITCHEN\r\n");
    EXPECT_EQ(peer.receiveLine(), "#FILSONG1.MP3\r\n");
    EXPECT_EQ(peer.receiveLine(), "#COMNEXT\r\n");
}

}  // namespace
}  // namespace client_testing
