// Playlist files and the copy of songs: the file format, Save List and Load List through the
// scripted dialogs, and the copy job over real folders.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <filesystem>

#include "client/playlist_file.h"
#include "client/setup_window.h"
#include "client/windows/copy_file_window.h"
#include "common/text_helpers.h"
#include "platform/files.h"
#include "platform/widgets/gauge.h"
#include "tests/client/selection_fixture.h"
#include "tests/support/killed_save.h"

namespace client_testing {
namespace {

using Kind = testing_support::FakeDialogs::Kind;
using Lines = std::vector<std::string>;

// The end of a line is trimmed; its start may be a file name's own blanks.
TEST(PlaylistFile, LinesEndAtCrLfLoneCrOrLoneLfAndAreTrimmedAtTheirEnd) {
    struct Case {
        const char* text;
        Lines lines;
    } cases[] = {
        {"A.MP3\r\nB.MP3\r\n", {"A.MP3", "B.MP3"}},
        {"A.MP3\rB.MP3", {"A.MP3", "B.MP3"}},
        {"A.MP3\nB.MP3\n", {"A.MP3", "B.MP3"}},
        {"A\r\n\r\nB\r\n", {"A", "", "B"}},
        {"A\r\r\nB", {"A", "", "B"}},
        {"A\n\rB", {"A", "", "B"}},
        {"  a b.mp3 \t\x01\r\n", {"  a b.mp3"}},
        {"", {}},
        {"\r\n", {""}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sonpad::playlist::SplitEntries(c.text), c.lines)
            << testing::PrintToString(c.text);
}

TEST(PlaylistFile, TextIsUpperCaseSortedOnceEachWithCrLf) {
    EXPECT_EQ(sonpad::playlist::TextFor({"b.mp3", "A.MP3", "a.mp3", "c d.mp3", "B.MP3"}),
              "A.MP3\r\nB.MP3\r\nC D.MP3\r\n");
    EXPECT_EQ(sonpad::playlist::TextFor({}), "");
}

// A folder the test cannot write into, whoever runs it (the superuser ignores mode bits).
class UnwritableFolder {
  public:
    explicit UnwritableFolder(const testing_support::TempDir& dir) {
        if (::geteuid() == 0) {
            path_ = "/proc";
        } else {
            path_ = dir.mkdir("locked");
            ::chmod(path_.c_str(), 0555);
        }
    }
    ~UnwritableFolder() {
        if (path_ != "/proc")
            ::chmod(path_.c_str(), 0755);
    }
    std::string path() const {
        return path_.back() == '/' ? path_.substr(0, path_.size() - 1) : path_;
    }

  private:
    std::string path_;
};

// Every name in the folder, hidden ones too, sorted.
Lines AllNames(const std::string& folder) {
    Lines names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class PlaylistFilesTest : public SelectionTest {
  protected:
    void SetUp() override {
        SelectionTest::SetUp();
        songSel().SaveDialogFolder = songSel().OpenDialogFolder = Entry("lists");
        setup().Edit2->setText(QString::fromStdString(Entry("lists")));
        dir.mkdir("lists");
    }
    void Load(const std::string& path) {
        dialogs.expectOpenFile(path);
        songSel().btnLoadClick();
    }
};

TEST_F(PlaylistFilesTest, LoadTakesKnownLinesInFileOrderAndNamesEachUnknownOne) {
    AddSong("/MUSIC/A/SONG.MP3", "First of two");
    AddSong("/MUSIC/B/SONG.MP3", "Second of two");
    for (const char* name : {"ONE", "TWO", "THREE", "FOUR", "FIVE", "SIX", "SEVEN"})
        AddSong(std::string("/MUSIC/") + name + ".MP3", name);
    const std::string path =
        dir.write("lists/rock.ply",
                  "SEVEN.MP3\r\n  one.mp3  \nTWO.MP3\rMISSING.MP3\r\nSONG.MP3\r\n\r\nTHREE.MP3\r\n"
                  "FOUR.MP3\r\nFIVE.MP3\r\nSIX.MP3\r\n");
    dialogs.expectOpenFile(path)
        .expectMessage("Song \"MISSING.MP3\" not loaded!")
        .expectMessage("Song \"\" not loaded!");
    songSel().btnLoadClick();
    EXPECT_EQ(dialogs.pending(), 0u);
    EXPECT_EQ(Column(1),
              (Lines{"SEVEN", "ONE", "TWO", "First of two", "THREE", "FOUR", "FIVE", "SIX"}));
    EXPECT_EQ(Caption(), "  ROCK.PLY (8)  ");
    EXPECT_TRUE(CaptionBold());
    EXPECT_EQ(Buttons(), (std::vector<bool>{true, true, false}));
    const platform::FileDialogOptions& asked = dialogs.lastFileOptions();
    EXPECT_EQ(asked.folder, dir / "lists/");  // the stored folder as the disk spells it
    EXPECT_EQ(asked.filter, "Playlists (*.PLY);;All Files (*.*)");
    EXPECT_EQ(asked.defaultExtension, "PLY");

    // The next save proposes the loaded file.
    dialogs.expectSaveFile(std::nullopt);
    songSel().btnSaveClick();
    EXPECT_EQ(dialogs.lastFileOptions().fileName, path);
    EXPECT_EQ(dialogs.lastFileOptions().folder, dir / "lists/");
    // After Clear it proposes nothing.
    dialogs.expectConfirm(true).expectSaveFile(std::nullopt);
    songSel().btnClearClick();
    songSel().AddToSelection("000001");
    songSel().btnSaveClick();
    EXPECT_EQ(dialogs.lastFileOptions().fileName, "");
}

TEST_F(PlaylistFilesTest, SaveThenLoadGivesTheFilesSortedOrderWithoutDuplicates) {
    const std::string b = AddSong("/MUSIC/A/B.MP3", "Bee");
    const std::string a = AddSong("/MUSIC/A/A.MP3", "Ay");
    const std::string a2 = AddSong("/MUSIC/OTHER/A.MP3", "Ay again");
    for (const std::string& song : {b, a, b, a2})
        songSel().AddToSelection(song);
    dir.write("lists/party.ply", "old\r\n");
    // The default extension is added, and names are the same whatever their case: the old
    // file is replaced without a question.
    dialogs.expectSaveFile(Entry("lists") + "party");
    songSel().btnSaveClick();
    EXPECT_EQ(dialogs.pending(), 0u);
    EXPECT_EQ(testing_support::readFile(dir / "lists/party.ply"), "A.MP3\r\nB.MP3\r\n");
    EXPECT_EQ(AllNames(dir / "lists"), (Lines{"party.ply"}));
    EXPECT_EQ(Caption(), "  PARTY.PLY (4)  ");
    EXPECT_EQ(main().ComboBox2->count(), 1);  // "Party.ply": one name, whatever its case

    list().clear();
    songSel().UpdateListButtons();
    Load(Entry("lists") + "party.PLY");
    EXPECT_EQ(dialogs.pending(), 0u);
    EXPECT_EQ(Column(1), (Lines{"Ay", "Bee"}));  // the first A.MP3 of the library
    EXPECT_EQ(Caption(), "  PARTY.PLY (2)  ");
}

TEST_F(PlaylistFilesTest, AFailedSaveShowsWhyAndChangesNothing) {
    songSel().AddToSelection(AddSong("/M/A.MP3", "A"));
    songSel().Label12->setText("ROCK.PLY");
    const UnwritableFolder locked(dir);
    dialogs.expectSaveFile(locked.path() + "/NEW.PLY").expectError();
    QTest::mouseClick(songSel().btnSave, Qt::LeftButton);
    EXPECT_EQ(dialogs.pending(), 0u);
    EXPECT_NE(dialogs.textsOf(Kind::Error).at(0).find("NEW.PLY"), std::string::npos);
    EXPECT_EQ(songSel().PlaylistName(), "ROCK.PLY");
    EXPECT_EQ(list().topLevelItemCount(), 1);
    EXPECT_FALSE(platform::files::fileExists(platform::files::Name(locked.path() + "/NEW.PLY")));
}

TEST_F(PlaylistFilesTest, AReadOnlyPlaylistIsKeptAndTheBoxNamesIt) {
    songSel().AddToSelection(AddSong("/M/A.MP3", "A"));
    const std::string kept = dir.write("lists/Rock.ply", "OLD.MP3\r\n");
    ::chmod(kept.c_str(), 0444);
    dialogs.expectSaveFile(Entry("lists") + "ROCK.PLY").expectError();
    QTest::mouseClick(songSel().btnSave, Qt::LeftButton);
    EXPECT_EQ(dialogs.pending(), 0u);
    const std::string text = dialogs.textsOf(Kind::Error).at(0);
    EXPECT_NE(text.find(kept + ": "), std::string::npos) << text;
    EXPECT_EQ(testing_support::readFile(kept), "OLD.MP3\r\n");
    EXPECT_EQ(AllNames(dir / "lists"), Lines{"Rock.ply"});
    EXPECT_EQ(songSel().PlaylistName(), "");
}

TEST_F(PlaylistFilesTest, AFileThatCannotBeReadLeavesAnEmptyListUnderItsName) {
    AddSong("/M/A.MP3", "A");
    const std::string binary =
        dir.write("lists/binary.ply", std::string("A.MP3\r\n\0\x01\x02", 10));
    const std::string huge = dir / "lists/huge.ply";
    ASSERT_EQ(
        ::truncate(dir.write("lists/huge.ply", "").c_str(), sonpad::playlist::kMaxFileBytes + 1),
        0);
    const struct {
        std::string path;
        const char* why;
    } cases[] = {{dir / "lists/missing.ply", "missing.ply"},
                 {binary, "is not a playlist."},
                 {huge, "is too large for a playlist."},
                 {Entry("lists"), "Is a directory"}};
    for (const auto& [path, why] : cases) {
        dialogs.expectOpenFile(path).expectError();
        QTest::mouseClick(songSel().btnLoad, Qt::LeftButton);
        EXPECT_EQ(dialogs.pending(), 0u) << path;
        EXPECT_NE(dialogs.textsOf(Kind::Error).back().find(why), std::string::npos)
            << dialogs.textsOf(Kind::Error).back();
        EXPECT_EQ(list().topLevelItemCount(), 0) << path;
        EXPECT_EQ(songSel().PlaylistName(), kv::UpperCase(kv::ExtractFileName(path)));
        EXPECT_EQ(Buttons(), (std::vector<bool>{false, false, true})) << path;
        EXPECT_EQ(songSel().SaveDialogFileName, path);
    }
}

// What the copy window showed: its captions and the gauge's values as it was drawn.
class CopyWatch : public QObject {
  public:
    explicit CopyWatch(sonpad::TaCopyFile& window) : window_(window) {
        window.installEventFilter(this);
        window.Gauge1->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::WindowTitleChange && !window_.windowTitle().isEmpty())
            captions.push_back(window_.windowTitle().toStdString());
        if (e->type() == QEvent::Show && watched == &window_) {
            ++shown;
            owner = window_.parentWidget();
        }
        const int progress = window_.Gauge1->Progress();
        if (e->type() == QEvent::Paint && watched == window_.Gauge1 &&
            (painted.empty() || painted.back() != progress))
            painted.push_back(progress);
        return false;
    }
    Lines captions;
    int shown = 0;
    const QWidget* owner = nullptr;  // as it was shown
    std::vector<int> painted;

  private:
    sonpad::TaCopyFile& window_;
};

class CopyJobTest : public PlaylistFilesTest {
  protected:
    void SetUp() override {
        PlaylistFilesTest::SetUp();
        for (const char* name : {"ONE", "TWO", "THREE"}) {
            dir.write(std::string("music/") + name + ".mp3", std::string("bytes of ") + name);
            songSel().AddToSelection(AddSong(Entry("music") + name + ".MP3", name));
        }
    }
    enum class Answer { No, Yes, YesAndFailures };
    void Copy(const std::string& folder, Answer answer = Answer::Yes) {
        dialogs.expectFolder(folder).expectConfirm(
            answer != Answer::No, "Copy 3 songs to \"" + folder + "/\". Are you sure?");
        if (answer == Answer::YesAndFailures)
            dialogs.expectError();
        songSel().Copysongstoanotherlocation1Click();
    }
};

TEST_F(CopyJobTest, CopiesEverySongReplacingWhatIsThereAndEndsSilently) {
    const std::string target = dir.mkdir("stick");
    dir.write("stick/two.MP3", "an older two, much longer than the new one");
    sonpad::TaCopyFile& window = *program->forms().aCopyFile;
    const CopyWatch watch(window);
    Copy(dir / "stick");
    EXPECT_EQ(dialogs.pending(), 0u);
    EXPECT_EQ(watch.captions, (Lines{"Copy ONE.MP3", "Copy TWO.MP3", "Copy THREE.MP3"}));
    EXPECT_EQ(watch.shown, 1);
    // In front of the modal window that started the job, as its own dialog.
    EXPECT_EQ(watch.owner, &songSel());
    EXPECT_TRUE(window.isWindow());
    EXPECT_FALSE(window.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint));
    // Drawn while the job runs: before each song, the songs copied so far.
    EXPECT_EQ(watch.painted, (std::vector<int>{0, 1, 2}));
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.Gauge1->Progress(), 3);
    EXPECT_EQ(window.Gauge1->MaxValue(), 3);
    EXPECT_EQ(window.Gauge1->kind(), platform::widgets::Gauge::Kind::HorizontalBar);
    EXPECT_EQ(window.Gauge1->geometry(), window.rect());  // the bar fills the window
    EXPECT_EQ(window.size(), QSize(300, 50));
    EXPECT_EQ(testing_support::readFile(dir / "stick/two.MP3"), "bytes of TWO");
    EXPECT_EQ(testing_support::readFile(dir / "stick/ONE.MP3"), "bytes of ONE");
    EXPECT_EQ(AllNames(target), (Lines{"ONE.MP3", "THREE.MP3", "two.MP3"}));
    EXPECT_TRUE(dialogs.shown().size() == 2);  // the folder and the question only
}

// The job removes what killed copies of its own songs left, nothing else of the folder: not a
// user's hidden file that looks like a leftover. A song it replaces stays its owner's.
TEST_F(CopyJobTest, OnlyLeftoversOfTheSongsItCopiesAreRemovedAndReplacedSongsKeepTheirOwner) {
    const std::string target = dir.mkdir("stick");
    ASSERT_EQ(testing_support::RunKilledSave(testing_support::KillAt::Replace,
                                             [&] {
                                                 platform::files::copyFile(
                                                     platform::files::Name(dir / "music/TWO.mp3"),
                                                     target + "/TWO.MP3");
                                             })
                  .end,
              testing_support::SaveRun::End::Killed);
    ASSERT_EQ(AllNames(target).size(), 1u);  // the killed copy's temporary
    ASSERT_NE(::kill(424242, 0), 0);         // no process of that number runs
    dir.write("stick/.notes.txt.tmp-424242", "the user's");
    const std::string one = dir.write("stick/ONE.MP3", "an older one");
    const bool root = ::geteuid() == 0;
    if (root)
        ASSERT_EQ(::chown(one.c_str(), 65534, 65534), 0);
    ::chmod(one.c_str(), 0640);
    Copy(dir / "stick");
    EXPECT_EQ(dialogs.pending(), 0u);
    EXPECT_EQ(AllNames(target),
              (Lines{".notes.txt.tmp-424242", "ONE.MP3", "THREE.MP3", "TWO.MP3"}));
    EXPECT_EQ(testing_support::readFile(one), "bytes of ONE");
    struct stat st {};
    ::stat(one.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_gid, 65534u);
    }
}

TEST_F(CopyJobTest, CopyOntoTheSongsOwnFolderLeavesTheFilesWhole) {
    Copy(dir / "music");
    EXPECT_EQ(dialogs.pending(), 0u);
    EXPECT_EQ(testing_support::readFile(dir / "music/TWO.mp3"), "bytes of TWO");
    EXPECT_EQ(AllNames(dir / "music"), (Lines{"ONE.mp3", "THREE.mp3", "TWO.mp3"}));
    EXPECT_TRUE(dialogs.textsOf(Kind::Error).empty());
}

TEST_F(CopyJobTest, FailedCopiesAreSkippedAndCountedInOneMessageAtTheEnd) {
    std::filesystem::remove(dir / "music/TWO.mp3");
    const std::string target = dir.mkdir("stick");
    Copy(dir / "stick", Answer::YesAndFailures);
    ASSERT_EQ(dialogs.textsOf(Kind::Error).size(), 1u);
    std::string text = dialogs.textsOf(Kind::Error)[0];
    EXPECT_EQ(text.rfind("1 of 3 songs could not be copied. The first failure: ", 0), 0u) << text;
    EXPECT_NE(text.find("TWO.MP3"), std::string::npos) << text;
    EXPECT_EQ(AllNames(target), (Lines{"ONE.MP3", "THREE.MP3"}));
    EXPECT_EQ(program->forms().aCopyFile->Gauge1->Progress(), 3);

    const UnwritableFolder locked(dir);
    dialogs.expectFolder(locked.path())
        .expectConfirm(true, "Copy 3 songs to \"" + locked.path() + "/\". Are you sure?")
        .expectError();
    songSel().Copysongstoanotherlocation1Click();
    EXPECT_EQ(dialogs.pending(), 0u);
    text = dialogs.textsOf(Kind::Error).at(1);
    EXPECT_EQ(text.rfind("3 of 3 songs could not be copied. The first failure: ", 0), 0u) << text;
    EXPECT_NE(text.find("ONE.MP3"), std::string::npos) << text;
    EXPECT_FALSE(program->forms().aCopyFile->isVisible());
}

TEST_F(CopyJobTest, NothingHappensOnCancelOrNoOrAnEmptyList) {
    const std::string target = dir.mkdir("stick");
    dialogs.expectFolder(std::nullopt);
    songSel().Copysongstoanotherlocation1Click();
    Copy(dir / "stick", Answer::No);
    EXPECT_EQ(program->forms().aCopyFile->isVisible(), false);
    list().clear();
    songSel().Copysongstoanotherlocation1Click();
    EXPECT_EQ(dialogs.pending(), 0u);
    EXPECT_TRUE(platform::files::listFiles(target, "*").empty());
}

}  // namespace
}  // namespace client_testing
