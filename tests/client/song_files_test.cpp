// Each record reaches its own file: two files of one folder whose names differ only in case,
// and a name with a backslash, through the tag editor, the local player, the copy job and the
// queue file.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <filesystem>
#include <map>

#include "client/data_module.h"
#include "client/main_window.h"
#include "client/setup_window.h"
#include "client/song_sel_window.h"
#include "common/id3v1_tag.h"
#include "common/text_helpers.h"
#include "platform/qt/text_edge.h"
#include "tests/client/client_test_support.h"
#include "tests/support/mp3_fixtures.h"

namespace client_testing {
namespace {

using testing_support::Mp3Bytes;
using testing_support::readFile;
using testing_support::TagBlock;

std::string TitleOf(const std::string& file) {
    std::string title, artist, genre, album, year, comment;
    kv::ReadId3v1Tag(platform::files::Name(file), title, artist, genre, album, year, comment);
    return kv::Trim(title);
}

// A scanned library whose songs are told apart by their titles.
class TitledSongsTest : public ClientTest {
  protected:
    // The song number of the record with that title.
    std::string SongNo(const std::string& title) {
        for (int i = 0; i < static_cast<int>(main().SongLibrary.size()); ++i)
            if (dm().GetTitle(i) == title)
                return dm().GetSongNo(i);
        ADD_FAILURE() << title;
        return {};
    }
    // Shows that song in the tree, as a click on its node does.
    void ShowSongNoInTree(const std::string& songNo) {
        ASSERT_TRUE(ShowSongSelTree());
        QTreeWidgetItem* all = songSel().AllSongsNode;
        for (int i = 0; i < all->childCount(); ++i)
            if (all->child(i)->text(0).startsWith(QString::fromStdString(songNo)))
                songSel().TreeView1->setCurrentItem(all->child(i));
        songSel().TreeView1Click();
    }
};

// Case.mp3 and case.mp3 side by side in music/, told apart by their titles.
class CaseTwinsTest : public TitledSongsTest {
  protected:
    void SetUp() override {
        upper = dir.write("music/Case.mp3", Mp3Bytes(TagBlock("Upper", "Band")));
        lower = dir.write("music/case.mp3", Mp3Bytes(TagBlock("Lower", "Band")));
        Create();
        setup().ListBox1->addItem(platform::fileName(Entry("music")));
        setup().ScanLocalSongs();
        ASSERT_EQ(main().SongLibrary.size(), 2u);
    }
    std::string upper, lower;
};

TEST_F(CaseTwinsTest, RecordsKeepTheirColumnsInUpperCase) {
    for (const char* title : {"Upper", "Lower"}) {
        const int index = dm().FindSongByNo(SongNo(title));
        EXPECT_EQ(dm().GetFilePath(index), Entry("music"));
        EXPECT_EQ(dm().GetFileName(index), "CASE.MP3");
    }
}

TEST_F(CaseTwinsTest, TagEditingReadsAndWritesTheFileOfTheSongShown) {
    const struct {
        const char* title;
        const std::string* file;
        const std::string* other;
    } cases[] = {{"Lower", &lower, &upper}, {"Upper", &upper, &lower}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        const std::string otherBefore = readFile(*c.other);
        ShowSongNoInTree(SongNo(c.title));
        songSel().btnTagEditClick();
        EXPECT_EQ(songSel().Edit1->text().toStdString(), c.title);
        songSel().Edit1->setText("Edited");
        songSel().btnTagSaveClick();
        EXPECT_EQ(TitleOf(*c.file), "Edited");
        EXPECT_EQ(readFile(*c.other), otherBefore);
        EXPECT_EQ(songSel().Edit1->text(), "Edited");  // read back from its own file
    }
}

TEST_F(CaseTwinsTest, LocalPlayOpensTheSongsOwnFile) {
    for (const auto& [title, file] : {std::pair{"Lower", &lower}, std::pair{"Upper", &upper}}) {
        ASSERT_TRUE(main().PlayLocalSong(SongNo(title))) << title;
        EXPECT_EQ(player->fileName(), *file);
        EXPECT_EQ(main().CurrentFileName, "CASE.MP3");
    }
}

TEST_F(CaseTwinsTest, TheCopyJobCopiesTheRowsOwnFile) {
    for (const auto& [title, file] : {std::pair{"Lower", &lower}, std::pair{"Upper", &upper}}) {
        SCOPED_TRACE(title);
        const std::string target = dir.mkdir(std::string("stick-") + title);
        songSel().ListView1->clear();
        songSel().AddToSelection(SongNo(title));
        dialogs.expectFolder(target).expectConfirm(
            true, "Copy 1 songs to \"" + target + "/\". Are you sure?");
        songSel().Copysongstoanotherlocation1Click();
        EXPECT_EQ(dialogs.pending(), 0u);
        EXPECT_EQ(readFile(target + "/CASE.MP3"), readFile(*file));
    }
}

// "\\" is a character of the name like any other: the song is queued, saved, reloaded and
// played under its whole name.
class BackslashNameTest : public ClientTest {
  protected:
    void SetUp() override {
        file = dir.write("music/AC\\DC song.mp3", Mp3Bytes(TagBlock("Thunder", "Band")));
        WriteConfig("[SONPAD]\nPLAY HERE=YES\nDIRECTORIES=1\nAUTOLOAD SONG QUE=YES\nMP3 PATH1=" +
                    Entry("music") + "\n");
    }
    std::string file;
};

TEST_F(BackslashNameTest, TheSongIsQueuedSavedReloadedAndPlayedUnderItsWholeName) {
    Create();
    main().FormShow();
    ASSERT_EQ(main().SongLibrary.size(), 1u);
    EXPECT_EQ(dm().GetFileName(0), "AC\\DC SONG.MP3");
    EXPECT_EQ(dm().GetFilePath(0), Entry("music"));
    dm().AddSongToQue("000001");
    EXPECT_EQ(platform::fromFileName(main().ListView1->topLevelItem(0)->text(4)),
              "AC\\DC SONG.MP3");
    main().close();
    EXPECT_EQ(readFile(dir / "songque.kvc"), "AC\\DC SONG.MP3\r\n");

    Create();
    main().FormShow();  // no "Fail to load" box
    ASSERT_EQ(main().ListView1->topLevelItemCount(), 1);
    EXPECT_EQ(main().ListView1->topLevelItem(0)->text(0), "000001");
    ASSERT_TRUE(main().PlayLocalSong("000001"));
    EXPECT_EQ(player->fileName(), file);
    EXPECT_EQ(main().CurrentFileName, "AC\\DC SONG.MP3");
    EXPECT_EQ(main().CurrentPath, Entry("music"));
}

}  // namespace
}  // namespace client_testing

namespace client_testing {
namespace {

using testing_support::Mp3Bytes;
using testing_support::readFile;
using testing_support::TagBlock;

// Songs whose files another file's name nearly matches: a leading blank (" lead.mp3" beside
// "lead.mp3") and case twins ("twin.mp3", "TWIN.mp3"), each told apart by its title.
class SongIdentityTest : public TitledSongsTest {
  protected:
    struct Song {
        const char* name;
        const char* title;
    };
    // A fresh program that scans the songs in a folder of their own.
    void Scan(std::initializer_list<Song> songs, const std::string& folder = "music") {
        files.clear();
        for (const Song& s : songs)
            files[s.title] = dir.write(folder + "/" + s.name, Mp3Bytes(TagBlock(s.title)));
        Create();
        setup().ListBox1->addItem(platform::fileName(Entry(folder)));
        setup().ScanLocalSongs();
        ASSERT_EQ(main().SongLibrary.size(), songs.size());
    }
    void ShowInTree(const std::string& title) { ShowSongNoInTree(SongNo(title)); }
    // Edit, a new title, Save: what the song's own file and every other file then hold.
    void EditTitle(const std::string& title, const std::string& newTitle) {
        ShowInTree(title);
        songSel().btnTagEditClick();
        ASSERT_EQ(songSel().Edit1->text().toStdString(), title);
        songSel().Edit1->setText(QString::fromStdString(newTitle));
        songSel().btnTagSaveClick();
    }
    std::map<std::string, std::string> Contents() {
        std::map<std::string, std::string> all;
        for (const auto& [title, file] : files)
            if (std::filesystem::exists(file))
                all[title] = readFile(file);
        return all;
    }
    // Copies the songs of these titles, in order, into a new folder; the folder. A job with a
    // failure ends with its error box.
    std::string CopyOut(std::initializer_list<const char*> titles, bool failing = false) {
        const std::string target = dir.mkdir("stick-" + std::to_string(++copies));
        songSel().ListView1->clear();
        for (const char* t : titles)
            songSel().AddToSelection(SongNo(t));
        dialogs.expectFolder(target).expectConfirm(true);
        if (failing)
            dialogs.expectError();
        songSel().Copysongstoanotherlocation1Click();
        return target;
    }

    std::map<std::string, std::string> files;  // by title
    int copies = 0;
};

TEST_F(SongIdentityTest, EveryOperationOnASongUsesTheFileItsScanFound) {
    const struct {
        const char* what;
        std::initializer_list<Song> songs;
        const char* title;  // the song acted on
        const char* file;   // its own file
    } cases[] = {
        {"leading blank beside its trimmed name",
         {{" lead.mp3", "Blank"}, {"lead.mp3", "Plain"}},
         "Blank",
         " lead.mp3"},
        {"leading blank alone", {{" lead.mp3", "Blank"}}, "Blank", " lead.mp3"},
        {"two leading blanks", {{"  lead.mp3", "Two"}, {" lead.mp3", "One"}}, "Two", "  lead.mp3"},
        {"case twin", {{"twin.mp3", "Lower"}, {"TWIN.mp3", "Upper"}}, "Lower", "twin.mp3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string folder = std::string("case-") + std::to_string(&c - cases);
        Scan(c.songs, folder);
        const std::string own = dir / (folder + "/" + c.file);

        // The tag editor reads and writes the song's own file, and nothing else.
        auto others = Contents();
        others.erase(c.title);
        EditTitle(c.title, "Edited");
        EXPECT_EQ(TitleOf(own), "Edited");
        auto othersAfter = Contents();
        othersAfter.erase(c.title);
        EXPECT_EQ(othersAfter, others);

        // The local player opens it.
        ASSERT_TRUE(main().PlayLocalSong(SongNo(c.title)));
        EXPECT_EQ(player->fileName(), own);

        // The copy job copies it.
        const std::string target = CopyOut({c.title});
        EXPECT_EQ(dialogs.pending(), 0u);
        const std::string copied = target + "/" + kv::UpperCase(c.file);
        ASSERT_TRUE(std::filesystem::exists(copied));
        EXPECT_EQ(readFile(copied), readFile(own));
    }
}

// A file removed after the scan is missing: no other file stands in for it.
TEST_F(SongIdentityTest, ASongWhoseFileVanishedTouchesNoOtherFile) {
    const struct {
        const char* what;
        std::initializer_list<Song> songs;
    } cases[] = {
        {"case twin", {{"twin.mp3", "Gone"}, {"TWIN.mp3", "Kept"}}},
        {"leading blank", {{" lead.mp3", "Gone"}, {"lead.mp3", "Kept"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Scan(c.songs, std::string("case-") + std::to_string(&c - cases));
        std::filesystem::remove(files["Gone"]);
        const std::string kept = readFile(files["Kept"]);

        ShowInTree("Gone");
        dialogs.expectMessage();
        songSel().btnTagEditClick();
        ASSERT_EQ(dialogs.pending(), 0u);
        EXPECT_TRUE(dialogs.shown().back().text.starts_with("Cannot locate file \""))
            << dialogs.shown().back().text;
        EXPECT_TRUE(songSel().btnTagSave->isHidden());

        dialogs.expectError("Error 3");  // the size of a file that is not there
        EXPECT_FALSE(main().PlayLocalSong(SongNo("Gone")));
        EXPECT_NE(player->fileName(), files["Kept"]);

        const std::string target = CopyOut({"Gone"}, true);
        EXPECT_EQ(dialogs.pending(), 0u);
        EXPECT_TRUE(std::filesystem::is_empty(target));
        EXPECT_EQ(readFile(files["Kept"]), kept);
    }
}

// A copy never replaces what the same job wrote: the second twin fails and the box names it.
TEST_F(SongIdentityTest, CopyingCaseTwinsIntoOneFolderKeepsTheFirstAndNamesTheSecond) {
    Scan({{"twin.mp3", "Lower"}, {"TWIN.mp3", "Upper"}, {"other.mp3", "Other"}});
    const std::string target = CopyOut({"Upper", "Lower", "Other", "Upper"}, true);
    ASSERT_EQ(dialogs.pending(), 0u);
    EXPECT_EQ(readFile(target + "/TWIN.MP3"), readFile(files["Upper"]));
    EXPECT_EQ(readFile(target + "/OTHER.MP3"), readFile(files["Other"]));
    const std::string box = dialogs.shown().back().text;
    EXPECT_TRUE(box.starts_with("1 of 4 songs could not be copied.")) << box;
    EXPECT_NE(box.find("\"" + files["Lower"] + "\""), std::string::npos) << box;
    EXPECT_EQ(box.find("\"" + files["Upper"] + "\""), std::string::npos) << box;
}

// A song copied into its own folder is already there: no twin of it is written over, and
// no box says it failed; also when the folder is reached through a link.
TEST_F(SongIdentityTest, ACopyOntoTheSongsOwnFileChangesNothingAndCountsAsCopied) {
    Scan({{"a.mp3", "Lower"}, {"A.mp3", "Mixed"}, {"A.MP3", "Upper"}});
    std::filesystem::create_directory_symlink(dir / "music", dir / "linked");
    const auto before = Contents();
    const std::vector<std::vector<const char*>> jobs = {
        {"Lower"}, {"Mixed"}, {"Upper"}, {"Lower", "Mixed", "Upper"}};
    for (const std::string& folder : {dir / "music", dir / "linked"}) {
        for (const std::vector<const char*>& titles : jobs) {
            SCOPED_TRACE(folder + ": " + titles.front() + ", " + std::to_string(titles.size()));
            songSel().ListView1->clear();
            for (const char* t : titles)
                songSel().AddToSelection(SongNo(t));
            dialogs.expectFolder(folder).expectConfirm(true);
            songSel().Copysongstoanotherlocation1Click();
            EXPECT_EQ(dialogs.pending(), 0u);  // and no error box came
            EXPECT_EQ(Contents(), before);
        }
    }
}

// One file in two library folders, one a link to the other: copied once, and the second row
// counts as copied.
TEST_F(SongIdentityTest, AFileReachedThroughTwoFoldersIsCopiedOnceWithoutAFailure) {
    files["Song"] = dir.write("music/song.mp3", Mp3Bytes(TagBlock("Song")));
    std::filesystem::create_directory_symlink(dir / "music", dir / "linked");
    Create();
    setup().ListBox1->addItem(platform::fileName(Entry("music")));
    setup().ListBox1->addItem(platform::fileName(Entry("linked")));
    setup().ScanLocalSongs();
    ASSERT_EQ(main().SongLibrary.size(), 2u);
    songSel().AddToSelection("000001");
    songSel().AddToSelection("000002");
    const std::string stick = dir.mkdir("stick");
    dialogs.expectFolder(stick).expectConfirm(true);
    songSel().Copysongstoanotherlocation1Click();
    EXPECT_EQ(dialogs.pending(), 0u);  // and no error box came
    EXPECT_EQ(readFile(stick + "/SONG.MP3"), readFile(files["Song"]));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(stick),
                            std::filesystem::directory_iterator()),
              1);
}

// After a rescan gave the numbers anew, Exit hands over the songs the rows show, twins told
// apart by their own files; a song the library lost is named and left out.
TEST_F(SongIdentityTest, TheHandOverAfterARescanQueuesTheSongsTheRowsShow) {
    Scan({{"a.mp3", "Song A"},
          {"b.mp3", "Song B"},
          {"twin.mp3", "Lower"},
          {"TWIN.mp3", "Upper"},
          {"zz.mp3", "Gone"}});
    for (const char* title : {"Song B", "Upper", "Lower", "Gone"})
        songSel().AddToSelection(SongNo(title));
    ASSERT_EQ(songSel().ListView1->topLevelItem(0)->text(0).toStdString(), "000002");
    files["Zero"] = dir.write("music/0.mp3", Mp3Bytes(TagBlock("Zero")));  // comes first
    std::filesystem::remove(files["Gone"]);
    setup().ScanLocalSongs();
    ASSERT_EQ(dm().GetTitle(dm().FindSongByNo("000002")), "Song A");

    // The tree knows song B under its new number, and as a song of the list already.
    ShowSongNoInTree(SongNo("Song B"));
    dialogs.expectMessage("Song is in the Selection already!");
    songSel().TreeView1DblClick();
    ShowSongNoInTree(SongNo("Song A"));
    songSel().TreeView1DblClick();
    ASSERT_EQ(songSel().ListView1->topLevelItemCount(), 5);

    dialogs.expectConfirm(true, "Add selection to Song Que?")
        .expectMessage(
            "These songs are no longer in the library and were not added to the Song Que:\n\"" +
            files["Gone"] + "\"");
    songSel().btnCloseClick();
    EXPECT_EQ(dialogs.pending(), 0u);
    std::vector<std::pair<std::string, std::string>> queued;  // number, title
    for (int i = 0; i < main().ListView1->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = main().ListView1->topLevelItem(i);
        queued.emplace_back(row->text(0).toStdString(), row->text(1).toStdString());
    }
    const std::vector<std::pair<std::string, std::string>> want = {{SongNo("Song B"), "Song B"},
                                                                   {SongNo("Upper"), "Upper"},
                                                                   {SongNo("Lower"), "Lower"},
                                                                   {SongNo("Song A"), "Song A"}};
    EXPECT_EQ(queued, want);
}

// A playlist or queue line of a song whose name starts with a blank finds that song again.
TEST_F(SongIdentityTest, ALeadingBlankNameSurvivesThePlaylistAndTheQueueFile) {
    WriteConfig("[SONPAD]\nPLAY HERE=YES\nDIRECTORIES=1\nAUTOLOAD SONG QUE=YES\nMP3 PATH1=" +
                Entry("music") + "\n");
    Scan({{" lead.mp3", "Blank"}, {"lead.mp3", "Plain"}});

    songSel().AddToSelection(SongNo("Blank"));
    const std::string list = dir / "blank.ply";
    dialogs.expectSaveFile(list);
    songSel().btnSaveClick();
    EXPECT_EQ(readFile(list), " LEAD.MP3\r\n");
    songSel().ListView1->clear();
    dialogs.expectOpenFile(list);
    songSel().btnLoadClick();
    ASSERT_EQ(songSel().ListView1->topLevelItemCount(), 1);
    EXPECT_EQ(songSel().ListView1->topLevelItem(0)->text(0).toStdString(), SongNo("Blank"));

    dm().AddSongToQue(SongNo("Blank"));
    main().close();
    EXPECT_EQ(readFile(dir / "songque.kvc"), " LEAD.MP3\r\n");
    Create();
    main().FormShow();
    ASSERT_EQ(main().ListView1->topLevelItemCount(), 1);
    EXPECT_EQ(main().ListView1->topLevelItem(0)->text(0).toStdString(), SongNo("Blank"));
}

// Names with a line break would read back as two names: the save leaves them out, names them,
// and writes the other lines.
TEST_F(SongIdentityTest, NamesWithALineBreakAreLeftOutOfTheQueueFileAndNamed) {
    WriteConfig("[SONPAD]\nPLAY HERE=YES\nDIRECTORIES=1\nAUTOLOAD SONG QUE=YES\nMP3 PATH1=" +
                Entry("music") + "\n");
    Scan({{"line\nfeed.mp3", "Lf"}, {"carriage\rreturn.mp3", "Cr"}, {"fine.mp3", "Fine"}});
    for (const char* title : {"Lf", "Cr", "Fine"})
        dm().AddSongToQue(SongNo(title));
    dialogs.expectMessage();
    main().close();
    EXPECT_EQ(readFile(dir / "songque.kvc"), "FINE.MP3\r\n");
    ASSERT_FALSE(dialogs.shown().empty());
    const std::string box = dialogs.shown().back().text;
    EXPECT_NE(box.find("\"LINE\xE2\x90\x8A"
                       "FEED.MP3\""),
              std::string::npos)
        << box;
    EXPECT_NE(box.find("\"CARRIAGE\xE2\x90\x8DRETURN.MP3\""), std::string::npos) << box;

    Create();
    main().FormShow();  // no "Fail to load" box
    ASSERT_EQ(main().ListView1->topLevelItemCount(), 1);
    EXPECT_EQ(main().ListView1->topLevelItem(0)->text(0).toStdString(), SongNo("Fine"));

    // A playlist the same way.
    for (const char* title : {"Lf", "Fine"})
        songSel().AddToSelection(SongNo(title));
    const std::string list = dir / "breaks.ply";
    dialogs.expectSaveFile(list).expectMessage();
    songSel().btnSaveClick();
    EXPECT_EQ(readFile(list), "FINE.MP3\r\n");
    EXPECT_EQ(dialogs.pending(), 0u);
}

// Boxes show file and folder names as the disk spells them (UTF-8) and tag texts as Latin-1.
TEST_F(SongIdentityTest, BoxesNameFilesAsTheDiskSpellsThemAndTitlesAsTheirLetters) {
    const std::string bjork = "Bj\xc3\xb6rk.mp3";  // UTF-8
    dir.write("music/" + bjork, Mp3Bytes(std::nullopt));
    files["Caf\xe9"] = dir.write("music/cafe.mp3", Mp3Bytes(TagBlock("Caf\xe9")));  // Latin-1
    Create();
    setup().ListBox1->addItem(platform::fileName(Entry("music")));
    setup().ListBox1->addItem(platform::fileName(Entry("Caf\xc3\xa9")));
    dialogs.expectError().expectError();
    setup().ScanLocalSongs();
    songSel().AddToSelection(SongNo("Caf\xe9"));
    songSel().ListView1->topLevelItem(0)->setSelected(true);
    dialogs.expectConfirm(false);
    songSel().ListView1DblClick();
    dm().AddSongToQue(SongNo("Caf\xe9"));
    main().ListView1->topLevelItem(0)->setSelected(true);
    dialogs.expectConfirm(false);
    main().ListView1DblClick();
    ASSERT_EQ(dialogs.pending(), 0u);

    const std::string cafe = "Delete \"Caf\xc3\xa9\"?";
    const std::vector<std::string> want = {
        "Error " + Entry("music") + bjork + "\n\nPossible no ID3 tag read.",
        "This directory DOES NOT exist! \"" + Entry("Caf\xc3\xa9") + "\"", cafe, cafe};
    std::vector<std::string> texts;
    for (const auto& box : dialogs.shown())
        texts.push_back(box.text);
    EXPECT_EQ(texts, want);
    // What the box shows of them.
    EXPECT_EQ(
        platform::boxText(texts.front()),
        QString::fromUtf8("Error " + Entry("music") + "Björk.mp3\n\nPossible no ID3 tag read."));
    EXPECT_EQ(platform::boxText(cafe), QString::fromUtf8("Delete \"Café\"?"));
}

}  // namespace
}  // namespace client_testing
