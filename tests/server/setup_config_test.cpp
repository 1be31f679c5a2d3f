// Loading and saving the server's settings through the configuration window.
#include <sys/stat.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "common/text_helpers.h"
#include "platform/errors.h"
#include "platform/widgets/spin_edit.h"
#include "server/setup_window.h"
#include "tests/server/server_test_support.h"
#include "tests/support/killed_save.h"

namespace server_testing {
namespace {

std::vector<std::string> entries(sonhall::TaSetup& s) {
    return s.Folders();
}

// The keys of the file in their order, as "KEY=VALUE".
std::vector<std::string> keyLines(const std::string& text) {
    std::vector<std::string> out;
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

class SetupConfigTest : public ServerTest {};

TEST_F(SetupConfigTest, LoadReadsEveryKeyIntoTheWindow) {
    Create();
    WriteConfig(
        "[SONHALL]\nCROSSFADE=95\nDIRECTORIES=2\nPORT=2323\nPLAYLIST=/LISTS/\n"
        "CLIENT SONG=3\nMP3 PATH1=/MUSIC/ROCK/\nMP3 PATH2=/MUSIC/JAZZ/\n");
    setup().LoadConfig();
    EXPECT_EQ(setup().edCrossfade->text(), "95");
    EXPECT_EQ(setup().CrossfadePercent, 95);
    EXPECT_EQ(setup().SpinEdit2->Value(), 2323);
    EXPECT_EQ(setup().SpinEdit1->Value(), 3);
    EXPECT_EQ(setup().Edit1->text(), "/LISTS/");
    EXPECT_EQ(entries(setup()), (std::vector<std::string>{"/MUSIC/ROCK/", "/MUSIC/JAZZ/"}));
    EXPECT_TRUE(setup().buttonRemove->isEnabled());
    EXPECT_TRUE(setup().buttonScan->isEnabled());
}

TEST_F(SetupConfigTest, NonNumericPortStopsTheLoadAfterCrossfade) {
    Create();
    setup().ListBox1->addItem("/OLD/");
    WriteConfig(
        "[SONHALL]\nCROSSFADE=92\nPORT=abc\nCLIENT SONG=4\nPLAYLIST=/LISTS/\nDIRECTORIES=1\n"
        "MP3 PATH1=/MUSIC/\n");
    setup().LoadConfig();
    EXPECT_EQ(setup().CrossfadePercent, 92);
    EXPECT_EQ(setup().SpinEdit2->Value(), 23);  // the form defaults stay
    EXPECT_EQ(setup().SpinEdit1->Value(), 1);
    EXPECT_EQ(setup().Edit1->text(), "");
    EXPECT_TRUE(entries(setup()).empty());  // emptied before the reads
    EXPECT_FALSE(setup().buttonRemove->isEnabled());
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(SetupConfigTest, MissingOrOutOfRangeValuesAreBroughtIntoRange) {
    struct Case {
        const char* body;
        int port, limit;
    } cases[] = {
        {"[SONHALL]\nCROSSFADE=98\nCLIENT SONG=2\n", 1, 2},  // no PORT reads 0
        {"[SONHALL]\nCROSSFADE=98\nPORT=80\n", 80, 1},       // no CLIENT SONG
        {"[SONHALL]\nCROSSFADE=98\nPORT=12000\nCLIENT SONG=9\n", 9999, 5},
    };
    Create();
    for (const Case& c : cases) {
        WriteConfig(c.body);
        setup().LoadConfig();
        EXPECT_EQ(setup().SpinEdit2->Value(), c.port) << c.body;
        EXPECT_EQ(setup().SpinEdit1->Value(), c.limit) << c.body;
    }
}

TEST_F(SetupConfigTest, EmptyCrossfadeStopsTheLoadAtOnce) {
    Create();
    WriteConfig("[SONHALL]\nPORT=80\n");
    setup().LoadConfig();
    EXPECT_EQ(setup().edCrossfade->text(), "");
    EXPECT_EQ(setup().CrossfadePercent, 0);
    EXPECT_EQ(setup().SpinEdit2->Value(), 23);
}

// Missing keys below the highest one give empty entries; a count beyond it reads no further.
TEST_F(SetupConfigTest, FolderEntriesGoUpToTheHighestFolderKeyPresent) {
    struct Case {
        std::string keys;
        std::vector<std::string> entries;
    };
    const Case cases[] = {
        {"DIRECTORIES=3\nMP3 PATH1=/A/\nMP3 PATH2=/B/\n", {"/A/", "/B/"}},
        {"DIRECTORIES=2000000000\nMP3 PATH1=/A/\nmp3 path3=/C/\n", {"/A/", "", "/C/"}},
        {"DIRECTORIES=2\nMP3 PATH1=/A/\nMP3 PATH3=/C/\n", {"/A/", ""}},
        {"DIRECTORIES=2147483647\n", {}},
    };
    Create();
    for (const Case& c : cases) {
        WriteConfig("[SONHALL]\nCROSSFADE=98\n" + c.keys);
        setup().LoadConfig();
        EXPECT_EQ(entries(setup()), c.entries) << c.keys;
    }
}

TEST_F(SetupConfigTest, NoDirectoriesLeavesTheFolderButtonsDisabled) {
    Create();
    WriteConfig("[SONHALL]\nCROSSFADE=98\nDIRECTORIES=0\nMP3 PATH1=/A/\n");
    setup().LoadConfig();
    EXPECT_TRUE(entries(setup()).empty());
    EXPECT_FALSE(setup().buttonRemove->isEnabled());
    EXPECT_FALSE(setup().buttonScan->isEnabled());
}

TEST_F(SetupConfigTest, MissingFileIsReportedAndChangesNothing) {
    Create();
    setup().ListBox1->addItem("/KEEP/");
    dialogs.expectPostedMessage("Error! I cannot locate Configuration file.");
    setup().LoadConfig();
    EXPECT_EQ(entries(setup()), std::vector<std::string>{"/KEEP/"});
}

TEST_F(SetupConfigTest, SaveRebuildsTheFileFromItsOwnKeysInOrder) {
    Create();
    dir.write("sonhall2.kvc", "[OTHER]\nFOO=1\n[SONHALL]\nCROSSFADE=90\nEXTRA=YES\n");
    setup().edCrossfade->setText("97");
    setup().SpinEdit2->SetValue(4000);
    setup().SpinEdit1->SetValue(2);
    setup().Edit1->setText("/LISTS/");
    setup().ListBox1->addItem("/MUSIC/A/");
    setup().ListBox1->addItem("/MUSIC/B/");
    setup().SaveConfig();
    EXPECT_EQ(keyLines(ConfigText()),
              (std::vector<std::string>{"[SONHALL]", "CROSSFADE=97", "DIRECTORIES=2", "PORT=4000",
                                        "PLAYLIST=/LISTS/", "CLIENT SONG=2", "MP3 PATH1=/MUSIC/A/",
                                        "MP3 PATH2=/MUSIC/B/"}));
    // Byte for byte what a new file gets, whatever line ends the old one had.
    EXPECT_EQ(ConfigText(),
              "[SONHALL]\r\nCROSSFADE=97\r\nDIRECTORIES=2\r\nPORT=4000\r\nPLAYLIST=/LISTS/\r\n"
              "CLIENT SONG=2\r\nMP3 PATH1=/MUSIC/A/\r\nMP3 PATH2=/MUSIC/B/\r\n");
    EXPECT_EQ(setup().CrossfadePercent, 97);
}

// A new file gets the program's spelling; one that is replaced keeps its name on disk.
TEST_F(SetupConfigTest, SaveKeepsTheNameOnDiskOrSpellsANewOneAsTheProgramDoes) {
    const auto settingsFiles = [&] {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            if (kv::UpperCase(e.path().filename().string()) == "SONHALL2.KVC")
                names.push_back(e.path().filename().string());
        return names;
    };
    Create();
    setup().edCrossfade->setText("97");
    setup().SaveConfig();
    EXPECT_EQ(settingsFiles(), std::vector<std::string>{"sonhall2.kvc"});

    std::filesystem::rename(dir / "sonhall2.kvc", dir / "SONHALL2.KVC");
    setup().edCrossfade->setText("95");
    setup().SaveConfig();
    EXPECT_EQ(settingsFiles(), std::vector<std::string>{"SONHALL2.KVC"});
    EXPECT_NE(ConfigText().find("CROSSFADE=95"), std::string::npos);
}

TEST_F(SetupConfigTest, SaveWithACrossfadeThatIsNoNumberKeepsTheOldFile) {
    Create();
    WriteConfig("[SONHALL]\nCROSSFADE=90\n");
    const std::string before = ConfigText();
    setup().edCrossfade->setText("9x");
    EXPECT_THROW(setup().SaveConfig(), platform::Error);
    EXPECT_EQ(ConfigText(), before);
}

// The settings the window holds, as the keys give them.
struct Settings {
    std::string crossfade;
    int port = 0, limit = 0;
    std::string playlist;
    std::vector<std::string> folders;
    bool operator==(const Settings&) const = default;
};

// A save killed at any moment of its one replace leaves all the old settings or all the new
// ones for the next load, and the next save removes the temporary it left.
TEST_F(SetupConfigTest, ASaveKilledAtAnyMomentLeavesAllOldOrAllNewSettings) {
    Create();
    const Settings before{"95", 2323, 3, "/LISTS/", {"/MUSIC/ROCK/", "/MUSIC/JAZZ/"}};
    const Settings after{"91", 4000, 2, "/NEW LISTS/", {"/A/", "/B/", "/C/"}};
    const auto show = [&](const Settings& s) {
        setup().edCrossfade->setText(QString::fromStdString(s.crossfade));
        setup().SpinEdit2->SetValue(s.port);
        setup().SpinEdit1->SetValue(s.limit);
        setup().Edit1->setText(QString::fromStdString(s.playlist));
        setup().ListBox1->clear();
        for (const std::string& folder : s.folders)
            setup().ListBox1->addItem(QString::fromStdString(folder));
    };
    const auto shown = [&] {
        return Settings{setup().edCrossfade->text().toStdString(), setup().SpinEdit2->Value(),
                        setup().SpinEdit1->Value(), setup().Edit1->text().toStdString(),
                        entries(setup())};
    };
    testing_support::KillAtEveryMoment(
        [&] {
            show(before);
            setup().SaveConfig();
            show(after);
        },
        [&] { setup().SaveConfig(); },
        [&](const std::string& moment, bool saved) {
            SCOPED_TRACE(moment);
            show({"90", 1, 1, "", {}});
            setup().LoadConfig();
            EXPECT_EQ(shown(), saved ? after : before);
            setup().SaveConfig();
            std::vector<std::string> settingsFiles;
            for (const auto& e : std::filesystem::directory_iterator(dir.path()))
                if (e.path().filename().string().find("kvc") != std::string::npos)
                    settingsFiles.push_back(e.path().filename().string());
            EXPECT_EQ(settingsFiles, std::vector<std::string>{"sonhall2.kvc"});
        });
}

// A save that cannot replace the file (its owner made it read-only) keeps it as it was and
// says so.
TEST_F(SetupConfigTest, AFailedSaveKeepsTheOldFileAndSaysSo) {
    Create();
    WriteConfig("[SONHALL]\nCROSSFADE=90\nPORT=80\n");
    const std::string before = ConfigText();
    ::chmod((dir / "sonhall2.kvc").c_str(), 0444);
    setup().edCrossfade->setText("97");
    dialogs.expectMessage("Error while writing Configuration file.\n\nUnable to write to " +
                          kv::UpperCase(dir / "sonhall2.kvc"));
    setup().SaveConfig();
    EXPECT_EQ(dialogs.pending(), 0u);
    EXPECT_EQ(ConfigText(), before);
}

}  // namespace
}  // namespace server_testing
