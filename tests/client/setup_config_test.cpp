// Loading and saving the client's settings through the configuration window.
#include <sys/stat.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>
#include <filesystem>
#include <functional>

#include "client/main_window.h"
#include "client/setup_window.h"
#include "client/song_sel_window.h"
#include "common/text_helpers.h"
#include "platform/qt/clock_texts.h"
#include "platform/widgets/spin_edit.h"
#include "tests/client/client_test_support.h"
#include "tests/support/killed_save.h"

namespace client_testing {
namespace {

using Lines = std::vector<std::string>;

// The file's non-empty lines, trimmed, in their order.
Lines fileLines(const std::string& text) {
    Lines out;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = kv::Trim(text.substr(pos, end - pos));
        if (!line.empty())
            out.push_back(line);
        pos = end + 1;
    }
    return out;
}

class SetupConfigTest : public ClientTest {
  protected:
    void SetUp() override { Create(); }
    // Writes a file of the section with the given key lines and loads it.
    void Load(std::string_view keys) {
        WriteConfig("[SONPAD]\n" + std::string(keys));
        setup().LoadConfig();
    }
};

TEST_F(SetupConfigTest, FirstCloseWritesTheDefaultsInSaveOrderAndReloadsThem) {
    main().move(100, 60);
    setup().reject();  // closing always saves
    const std::string name = "DEFAULT " + kv::UpperCase(platform::LongTimeText(now.time()));
    EXPECT_EQ(fileLines(ConfigText()),
              (Lines{"[SONPAD]", "CLIENT NAME=" + name, "PLAY HERE=YES", "PORT=23",
                     "SERVER IP=255.255.255.255", "TOP=60", "LEFT=100",
                     "PLAYLIST DIRECTORY=", "AUTOLOAD SONG QUE=YES", "DIRECTORIES=0"}));
    // The reload: the stored texts, and the main window's keys as a missing key reads.
    EXPECT_EQ(setup().ClientName, name);
    EXPECT_EQ(setup().Edit1->text().toStdString(), name);
    EXPECT_TRUE(main().LocalMode);
    EXPECT_EQ(main().seSeqLimit->Value(), 5);
    EXPECT_FALSE(main().cbRemoveSong->isChecked());
    EXPECT_FALSE(main().cbPlayListOnce->isChecked());
    EXPECT_FALSE(main().cbSeqPlay->isChecked());
    EXPECT_EQ(main().MaxWidth, 1024 - (100 + 10));
    EXPECT_EQ(main().MaxHeight, 768 - (60 + 50));
    EXPECT_EQ(main().pos(), QPoint(100, 60));  // the window does not move
}

TEST_F(SetupConfigTest, LoadAppliesEveryKey) {
    Load(
        "PLAY HERE=NO\nDIRECTORIES=2\nCLIENT NAME=KITCHEN\nPORT=2323\nSERVER IP=10.0.0.7\n"
        "TOP=40\nLEFT=30\nPLAYLIST DIRECTORY=/LISTS/\nMAXWIDTH=700\nMAXHEIGHT=500\n"
        "SEQUENTIAL PLAY=7\nAUTOLOAD SONG QUE=NO\nREMOVE SONG=YES\nPLAY ONCE=YES\n"
        "PLAY IN SEQUENCE=YES\nMP3 PATH1=/MUSIC/ROCK/\nMP3 PATH2=/MUSIC/JAZZ/\n");
    EXPECT_FALSE(setup().PlayHere);
    EXPECT_FALSE(main().LocalMode);
    EXPECT_EQ(setup().ClientName, "KITCHEN");
    EXPECT_EQ(setup().Edit1->text(), "KITCHEN");
    EXPECT_EQ(setup().SpinEdit1->Value(), 2323);
    EXPECT_EQ(setup().Edit3->text(), "10.0.0.7");
    EXPECT_EQ(main().pos(), QPoint(30, 40));
    EXPECT_EQ(setup().Edit2->text(), "/LISTS/");
    EXPECT_EQ(songSel().SaveDialogFolder, "/LISTS/");
    EXPECT_EQ(songSel().OpenDialogFolder, "/LISTS/");
    EXPECT_EQ(main().MaxWidth, 700);
    EXPECT_EQ(main().MaxHeight, 500);
    EXPECT_EQ(main().seSeqLimit->Value(), 7);
    EXPECT_FALSE(setup().cbAutoloadsq->isChecked());
    EXPECT_TRUE(main().cbRemoveSong->isChecked());
    EXPECT_TRUE(main().cbPlayListOnce->isChecked());
    EXPECT_TRUE(main().cbSeqPlay->isChecked());
    EXPECT_EQ(setup().Folders(), (Lines{"/MUSIC/ROCK/", "/MUSIC/JAZZ/"}));
    EXPECT_TRUE(setup().btnRemove->isEnabled());
    EXPECT_TRUE(setup().btnScan->isEnabled());
}

TEST_F(SetupConfigTest, SequentialPlayBelowTheRangeGivesFiveAboveItTen) {
    const struct {
        const char* line;
        int value;
    } cases[] = {
        {"", 5},
        {"SEQUENTIAL PLAY=0\n", 5},
        {"SEQUENTIAL PLAY=2\n", 5},
        {"SEQUENTIAL PLAY=-40\n", 5},
        {"SEQUENTIAL PLAY=3\n", 3},
        {"SEQUENTIAL PLAY=10\n", 10},
        {"SEQUENTIAL PLAY=11\n", 10},
    };
    for (const auto& c : cases) {
        main().seSeqLimit->SetValue(8);
        Load(c.line);
        EXPECT_EQ(main().seSeqLimit->Value(), c.value) << c.line;
    }
}

TEST_F(SetupConfigTest, RememberedSizeIsKeptWithinThePrimaryScreen) {
    // Screen 1024 x 768, window at left 100, top 60: widths above 924 and heights above 668,
    // or below 1, are replaced by what is left of the screen beside the window.
    const struct {
        const char* keys;
        int width, height;
    } cases[] = {
        {"", 914, 658},
        {"MAXWIDTH=0\nMAXHEIGHT=0\n", 914, 658},
        {"MAXWIDTH=-3\nMAXHEIGHT=-1\n", 914, 658},
        {"MAXWIDTH=925\nMAXHEIGHT=669\n", 914, 658},
        {"MAXWIDTH=924\nMAXHEIGHT=668\n", 924, 668},
        {"MAXWIDTH=1\nMAXHEIGHT=1\n", 1, 1},
    };
    for (const auto& c : cases) {
        Load("TOP=60\nLEFT=100\n" + std::string(c.keys));
        EXPECT_EQ(main().MaxWidth, c.width) << c.keys;
        EXPECT_EQ(main().MaxHeight, c.height) << c.keys;
    }
    screen = QSize(1920, 1080);
    Load("TOP=60\nLEFT=100\nMAXWIDTH=1500\nMAXHEIGHT=900\n");
    EXPECT_EQ(main().MaxWidth, 1500);
    EXPECT_EQ(main().MaxHeight, 900);
}

TEST_F(SetupConfigTest, WindowStoredOffTheScreenIsBroughtOnItAndTheRoomLeftIsNeverNegative) {
    main().show();
    for (const char* keys :
         {"TOP=2147483647\nLEFT=2147483647\n", "TOP=-2147483648\nLEFT=-2147483648\n",
          "TOP=-300\nLEFT=-200\n", "TOP=700\nLEFT=1000\n"}) {
        main().resize(640, 371);
        Load(keys);
        const QRect frame = main().frameGeometry();
        EXPECT_GE(frame.left(), 0) << keys;
        EXPECT_GE(frame.top(), 0) << keys;
        EXPECT_LE(frame.left() + frame.width(), 1024) << keys;
        EXPECT_LE(frame.top() + frame.height(), 768 - 30) << keys;
        // The sizes made for the missing keys fit beside the window as it now stands.
        EXPECT_EQ(main().MaxWidth, 1024 - main().WindowLeft() - 10) << keys;
        EXPECT_EQ(main().MaxHeight, 768 - main().WindowTop() - 50) << keys;
        EXPECT_GT(main().MaxWidth, 0) << keys;
        EXPECT_GT(main().MaxHeight, 0) << keys;
    }
}

TEST_F(SetupConfigTest, MissingPortShowsTheRangesLowEndAndALargeOneItsTop) {
    Load("");
    EXPECT_EQ(setup().SpinEdit1->Value(), 1);
    Load("PORT=65000\n");
    EXPECT_EQ(setup().SpinEdit1->Value(), 9999);
}

// A number that is not decimal text costs that key only, without a message: its field keeps
// what it held (then its clamp), every other key is read, and a save writes them back.
TEST_F(SetupConfigTest, BadNumberCostsOnlyItsOwnKey) {
    const std::string good =
        "PLAY HERE=NO\nDIRECTORIES=1\nCLIENT NAME=DEN\nPORT=2323\nSERVER IP=10.0.0.7\n"
        "TOP=40\nLEFT=30\nPLAYLIST DIRECTORY=/LISTS/\nMAXWIDTH=700\nMAXHEIGHT=500\n"
        "SEQUENTIAL PLAY=7\nAUTOLOAD SONG QUE=NO\nREMOVE SONG=YES\nMP3 PATH1=/MUSIC/\n";
    const auto with = [&](const std::string& key, const std::string& value) {
        std::string text = good;
        const size_t at = text.find(key + "=");
        const size_t end = text.find('\n', at);
        return text.replace(at, end - at, key + "=" + value);
    };
    const QPoint placed(11, 12);  // where the window stood before the load
    const struct {
        const char* key;
        const char* value;
        int port;
        QPoint pos;
        int maxWidth, maxHeight, seqLimit;
        Lines folders;
    } cases[] = {
        {"PORT", "abc", 23, {30, 40}, 700, 500, 7, {"/MUSIC/"}},
        {"PORT", "0x17", 23, {30, 40}, 700, 500, 7, {"/MUSIC/"}},
        {"PORT", "4294967296", 23, {30, 40}, 700, 500, 7, {"/MUSIC/"}},  // beyond 32 bits
        {"PORT", "12 34", 23, {30, 40}, 700, 500, 7, {"/MUSIC/"}},
        {"TOP", "1e3", 2323, {30, 12}, 700, 500, 7, {"/MUSIC/"}},
        {"LEFT", "left", 2323, {11, 40}, 700, 500, 7, {"/MUSIC/"}},
        {"MAXWIDTH", "wide", 2323, {30, 40}, 800, 500, 7, {"/MUSIC/"}},
        {"MAXHEIGHT", "-", 2323, {30, 40}, 700, 600, 7, {"/MUSIC/"}},
        {"SEQUENTIAL PLAY", "99999999999999999999", 2323, {30, 40}, 700, 500, 5, {"/MUSIC/"}},
        {"DIRECTORIES", "one", 2323, {30, 40}, 700, 500, 7, {"/MUSIC/"}},  // the keys there
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.value);
        Create();  // fresh forms: the defaults show what the load left alone
        main().move(placed);
        Load(with(c.key, c.value));
        EXPECT_FALSE(setup().PlayHere);
        EXPECT_FALSE(main().LocalMode);
        EXPECT_EQ(setup().ClientName, "DEN");
        EXPECT_EQ(setup().Edit1->text(), "DEN");
        EXPECT_EQ(setup().SpinEdit1->Value(), c.port);
        EXPECT_EQ(setup().Edit3->text(), "10.0.0.7");
        EXPECT_EQ(main().pos(), c.pos);
        EXPECT_EQ(setup().Edit2->text(), "/LISTS/");
        EXPECT_EQ(main().MaxWidth, c.maxWidth);
        EXPECT_EQ(main().MaxHeight, c.maxHeight);
        EXPECT_EQ(main().seSeqLimit->Value(), c.seqLimit);
        EXPECT_FALSE(setup().cbAutoloadsq->isChecked());
        EXPECT_TRUE(main().cbRemoveSong->isChecked());
        EXPECT_EQ(setup().Folders(), c.folders);
        EXPECT_TRUE(dialogs.shown().empty());
        // The save keeps what the user had: only the bad value is replaced.
        setup().SaveConfig();
        const Lines lines = fileLines(ConfigText());
        for (const char* kept :
             {"CLIENT NAME=DEN", "SERVER IP=10.0.0.7", "PLAYLIST DIRECTORY=/LISTS/",
              "AUTOLOAD SONG QUE=NO", "MP3 PATH1=/MUSIC/"})
            EXPECT_NE(std::find(lines.begin(), lines.end(), kept), lines.end()) << kept;
    }
}

// A count that is no number costs the count only: the folder keys there are read in number
// order, and a save writes them back under their new numbers.
TEST_F(SetupConfigTest, BadFolderCountReadsTheFolderKeysThatAreThere) {
    Load("DIRECTORIES=1\nMP3 PATH1=/MUSIC/\n");
    Load("DIRECTORIES=two\nMP3 PATH3=/THIRD/\nMP3 PATH1=/OTHER/\nMP3 PATH01=/X/\n");
    EXPECT_EQ(setup().Folders(), (Lines{"/OTHER/", "/THIRD/"}));
    EXPECT_TRUE(setup().btnScan->isEnabled());
    setup().SaveConfig();
    const std::string saved = ConfigText();
    for (const char* line : {"DIRECTORIES=2\r\n", "MP3 PATH1=/OTHER/\r\n", "MP3 PATH2=/THIRD/\r\n"})
        EXPECT_NE(saved.find(line), std::string::npos) << line << saved;
    Load("DIRECTORIES=abc\n");
    EXPECT_TRUE(setup().Folders().empty());
}

TEST_F(SetupConfigTest, FolderKeysAreReadUpToTheCountAndAGapGivesAnEmptyLine) {
    Load("DIRECTORIES=3\nMP3 PATH1=/A/\nMP3 PATH3=/C/\nMP3 PATH4=/D/\nMP3 PATH01=/X/\n");
    EXPECT_EQ(setup().Folders(), (Lines{"/A/", "", "/C/"}));
    // No empty lines past the last folder stored, however large the count.
    Load("DIRECTORIES=5\nMP3 PATH1=/A/\nMP3 PATH2=/B/\n");
    EXPECT_EQ(setup().Folders(), (Lines{"/A/", "/B/"}));
    Load("DIRECTORIES=2147483647\nMP3 PATH1=/A/\nMP3 PATH2=/B/\n");
    EXPECT_EQ(setup().Folders(), (Lines{"/A/", "/B/"}));
    Load("DIRECTORIES=0\nMP3 PATH1=/A/\n");
    EXPECT_TRUE(setup().Folders().empty());
    // With no folder the buttons keep their state.
    EXPECT_TRUE(setup().btnRemove->isEnabled());
    Load("DIRECTORIES=-2\nMP3 PATH1=/A/\n");
    EXPECT_TRUE(setup().Folders().empty());
}

TEST_F(SetupConfigTest, FolderNamesKeepTheirBytes) {
    // Latin-1 and UTF-8 names side by side, as a disk may hold them.
    Load(
        "DIRECTORIES=2\nMP3 PATH1=/MUSIC/CAF\xc9/\nMP3 PATH2=/MUSIC/CAF\xc3\xa9/\n"
        "PLAYLIST DIRECTORY=/LISTS/\xe9T\xe9/\n");
    EXPECT_EQ(setup().Folders(), (Lines{"/MUSIC/CAF\xc9/", "/MUSIC/CAF\xc3\xa9/"}));
    setup().SaveConfig();
    EXPECT_EQ(setup().Folders(), (Lines{"/MUSIC/CAF\xc9/", "/MUSIC/CAF\xc3\xa9/"}));
    const Lines lines = fileLines(ConfigText());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "MP3 PATH1=/MUSIC/CAF\xc9/"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "PLAYLIST DIRECTORY=/LISTS/\xe9T\xe9/"),
              lines.end());
}

TEST_F(SetupConfigTest, TwelfthFolderKeyHasNoLeadingZero) {
    std::string keys = "DIRECTORIES=12\n";
    for (int i = 1; i <= 12; ++i)
        keys += "MP3 PATH" + std::to_string(i) + "=/F" + std::to_string(i) + "/\n";
    Load(keys);
    ASSERT_EQ(setup().Folders().size(), 12u);
    EXPECT_EQ(setup().Folders()[11], "/F12/");
    setup().SaveConfig();
    const Lines lines = fileLines(ConfigText());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "MP3 PATH12=/F12/"), lines.end());
}

TEST_F(SetupConfigTest, MissingFileShowsTheErrorAndChangesNothing) {
    setup().ListBox1->addItem("/KEEP/");
    dialogs.expectError("Error! I cannot locate Configuration file.");
    setup().LoadConfig();
    EXPECT_EQ(setup().Folders(), Lines{"/KEEP/"});
    EXPECT_EQ(setup().Edit3->text(), "255.255.255.255");
}

// Whatever the file holds, the load neither crashes nor shows a box, and a save then writes
// the window's values that the next load reads back.
TEST_F(SetupConfigTest, GarbageEmptyOrBinaryFileLoadsAndSavesCleanly) {
    const std::string cases[] = {
        "",
        "just some words\r\nwithout = a section\r\n",
        "[SONPAD\r\nPORT=12\r\n",
        "[SONPAD]\r\n=\r\n==\r\nPORT\r\n[]\r\n",
        std::string("\x00\x01\xff\xfe[SONPAD]\x00PORT=5\r\r\r\n\x80\x90", 26),
        std::string(70000, '\xAA'),
        "[SONPAD]\r\nPORT=" + std::string(5000, '9') + "\r\n",
    };
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(bytes.substr(0, 30));
        Create();
        dir.write("sonpad2.kvc", bytes);
        setup().LoadConfig();
        setup().ClientName = "DEN";
        setup().Edit3->setText("10.1.1.1");
        setup().SpinEdit1->SetValue(4000);
        setup().ListBox1->clear();
        setup().ListBox1->addItem("/MUSIC/");
        setup().SaveConfig();
        EXPECT_EQ(setup().ClientName, "DEN");
        EXPECT_EQ(setup().Edit3->text(), "10.1.1.1");
        EXPECT_EQ(setup().SpinEdit1->Value(), 4000);
        EXPECT_EQ(setup().Folders(), Lines{"/MUSIC/"});
        EXPECT_TRUE(dialogs.shown().empty());
    }
}

TEST_F(SetupConfigTest, SaveUndoesMainWindowChangesNotStored) {
    Load("PLAY HERE=YES\nSEQUENTIAL PLAY=4\nPLAY IN SEQUENCE=NO\nMAXWIDTH=700\n");
    main().cbSeqPlay->setChecked(true);
    main().seSeqLimit->SetValue(9);
    main().MaxWidth = 750;
    main().LocalMode = false;
    dialogs.expectFolder(dir / "music");
    setup().btnAddClick();
    EXPECT_FALSE(main().cbSeqPlay->isChecked());
    EXPECT_EQ(main().seSeqLimit->Value(), 4);
    EXPECT_EQ(main().MaxWidth, 700);
    EXPECT_TRUE(main().LocalMode);
}

TEST_F(SetupConfigTest, SavedTextsComeBackTrimmedAndUpperCase) {
    setup().reject();
    setup().Edit3->setText("  my-server.local ");
    setup().ClientName = "caf\xe9 \xe9t\xe9";  // Latin-1: only a to z change case
    setup().SaveConfig();
    EXPECT_EQ(setup().Edit3->text(), "MY-SERVER.LOCAL");
    EXPECT_EQ(setup().ClientName, "CAF\xe9 \xe9T\xe9");
    EXPECT_EQ(setup().Edit1->text(), QString::fromLatin1("CAF\xe9 \xe9T\xe9"));
}

TEST_F(SetupConfigTest, AReadOnlyFileIsKeptBySavesAndTheSettingsFollowIt) {
    Load("CLIENT NAME=DEN\nPORT=2323\n");
    const std::string file = dir / "sonpad2.kvc";
    const std::string before = ConfigText();
    ::chmod(file.c_str(), 0444);
    setup().SpinEdit1->SetValue(80);
    setup().reject();  // closing saves
    EXPECT_EQ(ConfigText(), before);
    EXPECT_EQ(setup().SpinEdit1->Value(), 2323);  // the reload shows what the file holds
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(SetupConfigTest, UnwritableFileLeavesTheSettingsAsTheFileHoldsThem) {
    Load("CLIENT NAME=DEN\nPORT=2323\n");
    // A folder in the file's place: nothing can be written, and there is no file to load.
    std::filesystem::remove(dir / "sonpad2.kvc");
    std::filesystem::create_directory(dir / "sonpad2.kvc");
    setup().SpinEdit1->SetValue(80);
    dialogs.expectError("Error! I cannot locate Configuration file.");
    setup().SaveConfig();
    EXPECT_EQ(setup().SpinEdit1->Value(), 80);
    EXPECT_EQ(setup().ClientName, "DEN");
}

// Every key of the file, as the window and the main window hold them after a load.
struct Settings {
    std::string name;
    bool playHere = false;
    int port = 0;
    std::string server;
    int top = 0, left = 0;
    std::string playlists;
    bool autoload = false;
    Lines folders;
    int maxWidth = 0, maxHeight = 0;
    bool removeSong = false, playOnce = false;
    int sequentialPlay = 0;
    bool inSequence = false;
    bool operator==(const Settings&) const = default;
};

class KilledSaveTest : public SetupConfigTest {
  protected:
    void Show(const Settings& s) {
        setup().ClientName = s.name;
        setup().PlayHere = main().LocalMode = s.playHere;
        setup().SpinEdit1->SetValue(s.port);
        setup().Edit3->setText(QString::fromStdString(s.server));
        main().PlaceWindow(s.left, s.top);
        setup().Edit2->setText(QString::fromStdString(s.playlists));
        setup().cbAutoloadsq->setChecked(s.autoload);
        setup().ListBox1->clear();
        for (const std::string& folder : s.folders)
            setup().ListBox1->addItem(QString::fromStdString(folder));
        main().MaxWidth = s.maxWidth;
        main().MaxHeight = s.maxHeight;
        main().cbRemoveSong->setChecked(s.removeSong);
        main().cbPlayListOnce->setChecked(s.playOnce);
        main().seSeqLimit->SetValue(s.sequentialPlay);
        main().cbSeqPlay->setChecked(s.inSequence);
    }
    Settings Shown() {
        return {setup().ClientName,
                setup().PlayHere,
                setup().SpinEdit1->Value(),
                setup().Edit3->text().toStdString(),
                main().WindowTop(),
                main().WindowLeft(),
                setup().Edit2->text().toStdString(),
                setup().cbAutoloadsq->isChecked(),
                setup().Folders(),
                main().MaxWidth,
                main().MaxHeight,
                main().cbRemoveSong->isChecked(),
                main().cbPlayListOnce->isChecked(),
                main().seSeqLimit->Value(),
                main().cbSeqPlay->isChecked()};
    }
    // The save killed at every moment; each time the next load must find all the old settings
    // or all the new ones, and the next save leaves no temporary.
    void KillEverywhere(const std::function<void()>& save, const Settings& saved) {
        testing_support::KillAtEveryMoment(
            [&] {
                WriteConfig(kBeforeText);
                Show(kAfter);
            },
            save,
            [&](const std::string& moment, bool done) {
                SCOPED_TRACE(moment);
                Show(kBlank);
                setup().LoadConfig();
                EXPECT_EQ(Shown(), done ? saved : kBefore);
                setup().SaveConfig();
                Lines settingsFiles;
                for (const auto& e : std::filesystem::directory_iterator(dir.path()))
                    if (e.path().filename().string().find("kvc") != std::string::npos)
                        settingsFiles.push_back(e.path().filename().string());
                EXPECT_EQ(settingsFiles, Lines{"sonpad2.kvc"});
            });
    }

    static constexpr const char* kBeforeText =
        "[SONPAD]\nCLIENT NAME=KITCHEN\nPLAY HERE=YES\nPORT=2323\nSERVER IP=10.0.0.7\nTOP=40\n"
        "LEFT=30\nPLAYLIST DIRECTORY=/LISTS/\nAUTOLOAD SONG QUE=NO\nDIRECTORIES=2\n"
        "MP3 PATH1=/MUSIC/ROCK/\nMP3 PATH2=/MUSIC/JAZZ/\nMAXWIDTH=700\nMAXHEIGHT=500\n"
        "REMOVE SONG=YES\nPLAY ONCE=NO\nSEQUENTIAL PLAY=7\nPLAY IN SEQUENCE=YES\n";
    const Settings kBefore{"KITCHEN",  true,  2323,
                           "10.0.0.7", 40,    30,
                           "/LISTS/",  false, {"/MUSIC/ROCK/", "/MUSIC/JAZZ/"},
                           700,        500,   true,
                           false,      7,     true};
    const Settings kAfter{
        "DEN", false, 4000,  "10.0.0.9", 60, 50,   "/NEW LISTS/", true, {"/A/", "/B/", "/C/"},
        600,   400,   false, true,       9,  false};
    const Settings kBlank{"X", true, 1, "", 0, 0, "", true, {}, 100, 100, false, false, 5, false};
};

TEST_F(KilledSaveTest, TheWindowsSaveKilledAtAnyMomentLeavesAllOldOrAllNewSettings) {
    // The window's keys are the new ones, the main window's close keys stay.
    Settings saved = kAfter;
    saved.maxWidth = kBefore.maxWidth;
    saved.maxHeight = kBefore.maxHeight;
    saved.removeSong = kBefore.removeSong;
    saved.playOnce = kBefore.playOnce;
    saved.sequentialPlay = kBefore.sequentialPlay;
    saved.inSequence = kBefore.inSequence;
    KillEverywhere([&] { setup().SaveConfig(); }, saved);
}

TEST_F(KilledSaveTest, TheClosesSaveKilledAtAnyMomentLeavesAllOldOrAllNewSettings) {
    // The close's keys are the new ones, the window's own stay.
    Settings saved = kBefore;
    saved.playHere = kAfter.playHere;
    saved.top = kAfter.top;
    saved.left = kAfter.left;
    saved.maxWidth = kAfter.maxWidth;
    saved.maxHeight = kAfter.maxHeight;
    saved.removeSong = kAfter.removeSong;
    saved.playOnce = kAfter.playOnce;
    saved.sequentialPlay = kAfter.sequentialPlay;
    saved.inSequence = kAfter.inSequence;
    saved.autoload = kAfter.autoload;
    KillEverywhere([&] { main().FormClose(); }, saved);
}

}  // namespace
}  // namespace client_testing
