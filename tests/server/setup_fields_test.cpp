// The configuration window's field checks, folder list and close.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "platform/widgets/spin_edit.h"
#include "server/main_window.h"
#include "server/progress_window.h"
#include "server/setup_window.h"
#include "tests/server/server_test_support.h"
#include "tests/support/accessible_tree.h"

namespace server_testing {
namespace {

using Kind = testing_support::FakeDialogs::Kind;

class SetupFieldsTest : public ServerTest {
  protected:
    // The window on the screen and active, so that focus moves as the user moves it.
    void ShowSetup() {
        setup().show();
        setup().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&setup()));
    }
    void Focus(QWidget* w) {
        w->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(WaitUntil([w] { return w->hasFocus(); }));
    }
};

// What a screen reader hears for each field: the caption the screen shows beside it.
TEST_F(SetupFieldsTest, EachFieldIsNamedByTheCaptionBesideIt) {
    Create();
    const struct {
        const QWidget* field;
        const char* name;
    } cases[] = {
        {setup().edCrossfade, "Crossfade"},
        {setup().SpinEdit1, "Song/Client Limit"},
        {setup().SpinEdit2, "TCP/IP Port"},
        {setup().Edit1, "Playlist folder"},
        {setup().ListBox1, "[ MP3 sub-directories ]"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(testing_support::NameInWindowTree(c.field).toStdString(), c.name)
            << c.field->metaObject()->className();
}

TEST_F(SetupFieldsTest, CrossfadeOutOfRangeIsRefusedUntilTheWindowCloses) {
    Create();
    WriteConfig("[SONHALL]\nCROSSFADE=98\n");
    const std::string before = ConfigText();
    ShowSetup();
    Focus(setup().edCrossfade);
    setup().edCrossfade->setText("85");
    dialogs.expectMessage("Valid values are from 90 to 100 percent only.");
    QTest::keyClick(setup().edCrossfade, Qt::Key_Return);  // moves on to Close
    EXPECT_TRUE(WaitUntil([&] { return setup().edCrossfade->hasFocus(); }));
    EXPECT_EQ(dialogs.pending(), 0u);
    EXPECT_EQ(setup().CrossfadePercent, 85);
    EXPECT_EQ(ConfigText(), before);

    setup().buttonCloseClick();
    EXPECT_FALSE(setup().isVisible());
    EXPECT_NE(ConfigText().find("CROSSFADE=85"), std::string::npos);
}

TEST_F(SetupFieldsTest, CrossfadeInRangeIsSavedOnLeavingTheField) {
    Create();
    ShowSetup();
    Focus(setup().edCrossfade);
    setup().edCrossfade->setText("100");
    Focus(setup().Edit1);
    EXPECT_NE(ConfigText().find("CROSSFADE=100"), std::string::npos);
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(SetupFieldsTest, CrossfadeThatIsNoNumberIsAnErrorAndNothingIsSaved) {
    Create();
    ShowSetup();
    Focus(setup().edCrossfade);
    setup().edCrossfade->setText("ab");
    dialogs.expectError("'ab' is not a valid integer value");
    Focus(setup().Edit1);
    EXPECT_EQ(ConfigText(), "");

    // Closing fails the same way, and the window stays open.
    dialogs.expectError("'ab' is not a valid integer value");
    setup().buttonCloseClick();
    EXPECT_TRUE(setup().isVisible());
    EXPECT_EQ(ConfigText(), "");
}

TEST_F(SetupFieldsTest, SongLimitTypedOutOfRangeIsReportedThenBroughtIntoRange) {
    Create();
    ShowSetup();
    Focus(setup().SpinEdit1);
    QTest::keyClick(setup().SpinEdit1, Qt::Key_Backspace);
    QTest::keyClicks(setup().SpinEdit1, "7");
    dialogs.expectMessage("Valid values are from 1 thru 5 only.");
    QTest::keyClick(setup().SpinEdit1, Qt::Key_Return);
    EXPECT_TRUE(WaitUntil([&] { return setup().SpinEdit1->hasFocus(); }));
    Focus(setup().Edit1);  // the box is expected once only: the value is now 5
    EXPECT_EQ(setup().SpinEdit1->Value(), 5);
    EXPECT_EQ(dialogs.textsOf(Kind::Message).size(), 1u);
}

TEST_F(SetupFieldsTest, EnterInThePortFieldMovesToClose) {
    Create();
    ShowSetup();
    Focus(setup().SpinEdit2);
    QTest::keyClick(setup().SpinEdit2, Qt::Key_Return);
    EXPECT_TRUE(WaitUntil([&] { return setup().buttonClose->hasFocus(); }));
    EXPECT_TRUE(setup().isVisible());
}

TEST_F(SetupFieldsTest, AddedFoldersAreUpperCaseWithOneSeparatorAppended) {
    Create();
    dialogs.expectFolder("/home/Me/Music").expectFolder("/home/Me/Music").expectFolder("/");
    setup().buttonAddClick();
    EXPECT_TRUE(setup().FolderListChanged);
    setup().buttonAddClick();
    setup().buttonAddClick();
    EXPECT_EQ(setup().Folders(),
              (std::vector<std::string>{"/HOME/ME/MUSIC/", "/HOME/ME/MUSIC/", "//"}));
    EXPECT_TRUE(setup().buttonRemove->isEnabled());

    dialogs.expectFolder(std::nullopt);
    setup().buttonAddClick();
    EXPECT_EQ(setup().Folders().size(), 3u);
}

TEST_F(SetupFieldsTest, RemovingNeedsASelectionAndTheLastRemovalDisablesTheButtons) {
    Create();
    setup().ListBox1->addItem("/A/");
    setup().UpdateButtons();
    setup().FolderListChanged = false;
    dialogs.expectMessage("Please select a directory to remove first.");
    setup().buttonRemoveClick();
    EXPECT_FALSE(setup().FolderListChanged);

    setup().ListBox1->setCurrentRow(0);
    setup().buttonRemoveClick();
    EXPECT_TRUE(setup().Folders().empty());
    EXPECT_TRUE(setup().FolderListChanged);
    EXPECT_FALSE(setup().buttonRemove->isEnabled());
    EXPECT_FALSE(setup().buttonScan->isEnabled());
}

TEST_F(SetupFieldsTest, ScanDirectoryCountsTheSongsWithoutReadingThem) {
    Create();
    Song("a/one.mp3");
    Song("a/TWO.MP3");
    Song("a/notes.txt");
    Song("b/three.Mp3");
    setup().ListBox1->addItem(QString::fromStdString(Entry("a")));
    setup().ListBox1->addItem(QString::fromStdString(Entry("missing")));
    setup().ListBox1->addItem(QString::fromStdString(Entry("b")));
    setup().buttonScanClick();
    EXPECT_EQ(setup().Label3->text(), "3");
    EXPECT_FALSE(setup().Label3->isHidden());
    EXPECT_EQ(progress().ProgressBar1->maximum(), 3);
    EXPECT_TRUE(main().SongLibrary.empty());
}

TEST_F(SetupFieldsTest, EveryCloseSavesAndOnlyAChangedFolderListRescans) {
    Create();
    Song("music/one.mp3");
    setup().ListBox1->addItem(QString::fromStdString(Entry("music")));
    setup().buttonCloseClick();
    EXPECT_TRUE(main().SongLibrary.empty());
    EXPECT_NE(ConfigText().find("DIRECTORIES=1"), std::string::npos);

    dialogs.expectFolder(dir.path() + "music");
    setup().buttonAddClick();
    setup().buttonCloseClick();
    EXPECT_FALSE(setup().FolderListChanged);
    EXPECT_EQ(main().SongLibrary.size(), 2u);  // the folder is listed twice
    EXPECT_NE(ConfigText().find("DIRECTORIES=2"), std::string::npos);
}

TEST_F(SetupFieldsTest, PlaylistFolderIsChosenInTheSameForm) {
    Create();
    dialogs.expectFolder("/srv/Lists");
    setup().BitBtn1Click();
    EXPECT_EQ(setup().Edit1->text(), "/SRV/LISTS/");
}

}  // namespace
}  // namespace server_testing
