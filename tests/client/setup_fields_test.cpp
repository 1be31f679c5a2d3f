// The configuration window's fields and folder buttons, driven as a user would.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <optional>

#include "client/setup_window.h"
#include "client/song_sel_window.h"
#include "common/text_helpers.h"
#include "platform/qt/non_input_events.h"
#include "platform/widgets/spin_edit.h"
#include "tests/client/client_test_support.h"

namespace client_testing {
namespace {

using Lines = std::vector<std::string>;

bool holdsLine(const std::string& text, const std::string& line) {
    return text.find("\r\n" + line + "\r\n") != std::string::npos;
}

class SetupFieldsTest : public ClientTest {
  protected:
    void SetUp() override {
        Create();
        setup().show();
        setup().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&setup()));
    }
    void TearDown() override {
        // Closing saves; what a test left for the file is written here, not checked.
        setup().hide();
    }
    void Focus(QWidget* w) {
        w->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(QTest::qWaitFor([w] { return w->hasFocus(); }));
    }
};

TEST_F(SetupFieldsTest, EnterMovesTheFocusToClose) {
    QWidget* fields[] = {setup().Edit2, setup().Edit3, setup().SpinEdit1};
    for (QWidget* field : fields) {
        Focus(field);
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_TRUE(QTest::qWaitFor([&] { return setup().btnClose->hasFocus(); }))
            << field->metaObject()->className();
    }
    EXPECT_TRUE(setup().isVisible());  // Enter does not close the window
}

TEST_F(SetupFieldsTest, EnterInTheNameAcceptsAndSavesIt) {
    Focus(setup().Edit1);
    setup().Edit1->selectAll();
    QTest::keyClicks(setup().Edit1, "den pc");
    EXPECT_EQ(setup().Edit1->text(), "DEN PC");  // held in upper case as typed
    QTest::keyClick(setup().Edit1, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return setup().btnClose->hasFocus(); }));
    EXPECT_EQ(setup().ClientName, "DEN PC");
    EXPECT_TRUE(holdsLine(ConfigText(), "CLIENT NAME=DEN PC"));
}

TEST_F(SetupFieldsTest, EmptyNameTakesTheFocusBackAndSavesNothing) {
    Focus(setup().Edit1);
    setup().Edit1->clear();
    setup().Edit3->setFocus(Qt::MouseFocusReason);
    QTest::qWait(50);
    EXPECT_TRUE(setup().Edit1->hasFocus());
    EXPECT_FALSE(ConfigExists());
    EXPECT_EQ(setup().ClientName.rfind("Default ", 0), 0u);
}

TEST_F(SetupFieldsTest, NameIsCutAtFortyTypedCharacters) {
    Focus(setup().Edit1);
    setup().Edit1->clear();
    QTest::keyClicks(setup().Edit1, QString(45, 'x'));
    EXPECT_EQ(setup().Edit1->text(), QString(40, 'X'));
}

TEST_F(SetupFieldsTest, AddedFoldersAreListedUpperCaseEachTimeAndSaved) {
    const std::string music = dir.mkdir("Music");
    dialogs.expectFolder(music).expectFolder(music).expectFolder(std::nullopt);
    setup().btnAddClick();
    setup().btnAddClick();
    setup().btnAddClick();  // cancelled
    const std::string entry = kv::UpperCase(music) + "/";
    EXPECT_EQ(setup().Folders(), (Lines{entry, entry}));
    EXPECT_TRUE(setup().btnRemove->isEnabled());
    EXPECT_TRUE(setup().btnScan->isEnabled());
    const std::string text = ConfigText();
    EXPECT_TRUE(holdsLine(text, "DIRECTORIES=2"));
    EXPECT_TRUE(holdsLine(text, "MP3 PATH2=" + entry));
    EXPECT_EQ(dialogs.shown().front().text, "Select an MP3 directory");
}

TEST_F(SetupFieldsTest, RemovingTheLastOfThreeLeavesItsKeyUnread) {
    WriteConfig("[SONPAD]\nDIRECTORIES=3\nMP3 PATH1=/A/\nMP3 PATH2=/B/\nMP3 PATH3=/C/\n");
    setup().LoadConfig();
    setup().ListBox1->setCurrentRow(2);
    setup().btnRemoveClick();
    EXPECT_EQ(setup().Folders(), (Lines{"/A/", "/B/"}));
    const std::string text = ConfigText();
    EXPECT_TRUE(holdsLine(text, "DIRECTORIES=2"));
    EXPECT_TRUE(holdsLine(text, "MP3 PATH3=/C/"));
}

TEST_F(SetupFieldsTest, RemovingWithoutASelectionOnlySaysSo) {
    WriteConfig("[SONPAD]\nDIRECTORIES=1\nMP3 PATH1=/A/\n");
    setup().LoadConfig();
    setup().ListBox1->clearSelection();
    dialogs.expectMessage("Please select a directory to remove first.");
    setup().btnRemoveClick();
    EXPECT_EQ(setup().Folders(), Lines{"/A/"});
}

TEST_F(SetupFieldsTest, RemovingTheOnlyFolderDisablesTheButtons) {
    WriteConfig("[SONPAD]\nDIRECTORIES=1\nMP3 PATH1=/A/\n");
    setup().LoadConfig();
    setup().ListBox1->setCurrentRow(0);
    setup().btnRemoveClick();
    EXPECT_TRUE(setup().Folders().empty());
    EXPECT_FALSE(setup().btnRemove->isEnabled());
    EXPECT_FALSE(setup().btnScan->isEnabled());
}

TEST_F(SetupFieldsTest, PlaylistFolderGoesToTheFieldTheDialogsAndTheFile) {
    const std::string lists = dir.mkdir("Lists");
    dialogs.expectFolder(lists).expectFolder(std::nullopt);
    setup().BitBtn1Click();
    const std::string entry = kv::UpperCase(lists) + "/";
    EXPECT_EQ(setup().Edit2->text().toStdString(), entry);
    EXPECT_EQ(songSel().SaveDialogFolder, entry);
    EXPECT_EQ(songSel().OpenDialogFolder, entry);
    EXPECT_TRUE(holdsLine(ConfigText(), "PLAYLIST DIRECTORY=" + entry));
    setup().BitBtn1Click();  // cancelled: nothing changes
    EXPECT_EQ(setup().Edit2->text().toStdString(), entry);
    EXPECT_EQ(dialogs.shown().front().text, "Select directory for Playlists");
}

TEST_F(SetupFieldsTest, LeavingAutoloadSaves) {
    Focus(setup().cbAutoloadsq);
    setup().cbAutoloadsq->setChecked(false);
    Focus(setup().Edit3);
    EXPECT_TRUE(holdsLine(ConfigText(), "AUTOLOAD SONG QUE=NO"));
}

TEST_F(SetupFieldsTest, CloseDuringAScanWaitsForItsEnd) {
    auto scan = std::make_optional<platform::qt::LongWork>();
    setup().reject();
    setup().reject();
    QTest::qWait(120);
    EXPECT_TRUE(setup().isVisible());
    EXPECT_FALSE(ConfigExists());
    scan.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !setup().isVisible(); }));
    EXPECT_TRUE(ConfigExists());
}

TEST_F(SetupFieldsTest, PortTypedAsNoNumberIsSavedAsOne) {
    Focus(setup().SpinEdit1);
    setup().SpinEdit1->selectAll();
    QTest::keyClick(setup().SpinEdit1, Qt::Key_Backspace);
    setup().SaveConfig();
    EXPECT_TRUE(holdsLine(ConfigText(), "PORT=1"));
    EXPECT_EQ(setup().SpinEdit1->Value(), 1);
}

}  // namespace
}  // namespace client_testing
