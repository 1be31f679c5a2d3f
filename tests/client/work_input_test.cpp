// The client's long work (a tree build, the copy job, the Song Listing load, the local scan)
// with the user's input meanwhile: clicks, wheel turns and keys queued as a display gives
// them, and presses as a screen reader gives them (accessibility actions). Nothing of it acts,
// then or after the work, and no box stands inside the work but its own.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <string>
#include <vector>

#include "client/main_window.h"
#include "client/setup_window.h"
#include "client/song_sel_window.h"
#include "client/windows/all_songs_window.h"
#include "common/song_record.h"
#include "platform/files.h"
#include "platform/qt/non_input_events.h"
#include "platform/qt/text_edge.h"
#include "tests/client/client_test_support.h"
#include "tests/support/mp3_fixtures.h"
#include "tests/support/queued_input.h"
#include "tests/support/waits.h"

namespace client_testing {
namespace {

using namespace testing_support;

void Press(QWidget* widget) {
    QAccessible::queryAccessibleInterface(widget)->actionInterface()->doAction(
        QAccessibleActionInterface::pressAction());
}

class WorkInputTest : public ClientTest {
  protected:
    static constexpr int kSongs = 40;

    void SetUp() override {
        Create();
        for (int i = 0; i < kSongs; ++i)
            dir.write("m/" + std::to_string(100 + i) + ".mp3",
                      Mp3Bytes(TagBlock("Song " + std::to_string(100 + i), "Band", "Album")));
        setup().ListBox1->addItem(platform::fileName(Entry("m")));
        setup().ScanLocalSongs();
        ASSERT_EQ(main().SongLibrary.size(), static_cast<size_t>(kSongs));
    }

    // Runs user as the work's first events come in, then lets the work's events in (as a
    // longer job would) until the window system's queue is taken and no button is still
    // going down from a press.
    void DuringTheWork(std::function<void()> user, std::vector<QPushButton*> pressed = {}) {
        QTimer::singleShot(0, [this, user = std::move(user), pressed] {
            ranInTheWork = platform::longWorkUnderWay();
            user();
            for (QPushButton* button : pressed)
                Press(button);
            LetInUntilInputTaken([&] {
                for (QPushButton* button : pressed)
                    if (button->isDown())
                        return false;
                return true;
            });
        });
    }
    // What was left to happen after the work.
    void AfterTheWork() {
        EXPECT_TRUE(ranInTheWork) << "the user acted outside the work";
        QTest::qWait(50);
    }
    int SelectionRows() { return songSel().ListView1->topLevelItemCount(); }

    bool ranInTheWork = false;
};

// The tree build "Album" runs; the user turns the wheel over the tree, double-clicks a song
// row and presses Enter, and a screen reader presses "Clear" and "Load List".
TEST_F(WorkInputTest, ATreeBuildAddsNoSongTheUserNeverSawAndAsksNothing) {
    ASSERT_TRUE(ShowSongSelTree());
    QTreeWidget& tree = *songSel().TreeView1;
    tree.expandItem(songSel().AllSongsNode);
    songSel().AddToSelection(kv::RecordSongNumber(main().SongLibrary.front()));
    ASSERT_EQ(SelectionRows(), 1);
    const QPoint row = tree.visualItemRect(songSel().AllSongsNode->child(3)).center();

    DuringTheWork(
        [&] {
            QueueWheel(tree.viewport(), 5);
            QueueDoubleClickAt(tree.viewport(), row);
            QueueKey(&tree, Qt::Key_Return);
        },
        {songSel().btnClear, songSel().btnLoad});
    songSel().btnAlbum->click();
    AfterTheWork();
    EXPECT_EQ(SelectionRows(), 1) << "a song was added or the selection cleared";
    EXPECT_TRUE(dialogs.shown().empty()) << "a box came";
    EXPECT_NE(songSel().AlbumNode, nullptr);
}

// The copy job runs; the user clicks "Clear" and a screen reader presses "Clear" and "Save
// List": the selection stays, and only the copy's own boxes came.
TEST_F(WorkInputTest, ACopyJobOpensNoBoxOfAClickMadeDuringIt) {
    ASSERT_TRUE(ShowSongSelTree());
    for (int i = 0; i < 3; ++i)
        songSel().AddToSelection(kv::RecordSongNumber(main().SongLibrary[static_cast<size_t>(i)]));
    const std::string target = dir.mkdir("stick");
    dialogs.expectFolder(target).expectConfirm(true);

    DuringTheWork([&] { QueueClick(songSel().btnClear); }, {songSel().btnClear, songSel().btnSave});
    songSel().Copysongstoanotherlocation1Click();
    AfterTheWork();
    EXPECT_EQ(SelectionRows(), 3);
    EXPECT_EQ(dialogs.shown().size(), 2u) << "a box came besides the copy's own";
    EXPECT_EQ(dialogs.pending(), 0u);
    EXPECT_TRUE(platform::files::fileExists(platform::files::Name(target + "/100.mp3")));
}

// The Song Listing loads; the user double-clicks a song of the library list (which queues it)
// and presses Enter there: nothing is queued.
TEST_F(WorkInputTest, ASongListingLoadQueuesNothingTheUserClickedMeanwhile) {
    main().FirstShow = false;  // the start-up has run: the scan above
    main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main()));
    QTreeWidget& library = *main().ListView2;
    ASSERT_GT(library.topLevelItemCount(), 0);
    const QPoint row = library.visualItemRect(library.topLevelItem(0)).center();
    std::string listing;
    for (int i = 0; i < 2000; ++i)
        listing += "Song " + std::to_string(i) + "\r\n@Band\r\n";
    dir.write("songlib.lst", listing);

    DuringTheWork([&] {
        QueueDoubleClickAt(library.viewport(), row);
        QueueKey(&library, Qt::Key_Return);
    });
    program->forms().aAllSongs->LoadSongLibraryFile(dir.path() + "/songlib.lst");
    AfterTheWork();
    EXPECT_EQ(main().ListView1->topLevelItemCount(), 0) << "a song was queued";
    EXPECT_TRUE(dialogs.shown().empty()) << "a box came";
}

// The local scan runs from the configuration window; the user clicks "Remove" on the selected
// folder and a screen reader presses it too: the folder stays. The scan's own box for a file
// without a tag still stands over it, modal.
TEST_F(WorkInputTest, ALocalScanKeepsItsFoldersAndItsOwnBoxes) {
    dir.write("m/untagged.mp3", Mp3Bytes(std::nullopt));
    setup().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&setup()));
    setup().ListBox1->setCurrentRow(0);
    setup().UpdateButtons();
    dialogs.expectError();

    DuringTheWork([&] { QueueClick(setup().btnRemove); }, {setup().btnRemove});
    setup().ScanLocalSongs();
    AfterTheWork();
    EXPECT_EQ(setup().ListBox1->count(), 1) << "the folder was removed";
    EXPECT_EQ(dialogs.pending(), 0u);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_FALSE(dialogs.shown()[0].posted);
    EXPECT_EQ(main().SongLibrary.size(), static_cast<size_t>(kSongs + 1));

    // Without a scan the same press removes the folder.
    Press(setup().btnRemove);
    EXPECT_TRUE(WaitUntil([&] { return setup().ListBox1->count() == 0; }));
}

}  // namespace
}  // namespace client_testing
