// The library scan: records, numbering, progress and its two modes.
#include <QEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QTreeWidget>
#include <filesystem>

#include "common/song_record.h"
#include "common/text_helpers.h"
#include "platform/work_under_way.h"
#include "server/all_songs_window.h"
#include "server/data_module.h"
#include "server/main_window.h"
#include "server/progress_window.h"
#include "server/server_tag_reader.h"
#include "server/setup_window.h"
#include "tests/server/server_test_support.h"

namespace server_testing {
namespace {

// Records what the progress window shows, and runs a hook on every caption.
class ProgressWatch : public QObject {
  public:
    explicit ProgressWatch(QWidget* window) : window_(window) { window->installEventFilter(this); }
    std::vector<std::string> captions;
    int shown = 0, hidden = 0;
    std::function<void(const std::string&)> onCaption;

    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::WindowTitleChange) {
            captions.push_back(window_->windowTitle().toStdString());
            if (onCaption)
                onCaption(captions.back());
        }
        if (e->type() == QEvent::Show)
            ++shown;
        if (e->type() == QEvent::Hide)
            ++hidden;
        return false;
    }

  private:
    QWidget* window_;
};

class SongScanTest : public ServerTest {
  protected:
    void Folder(std::string_view relative) {
        setup().ListBox1->addItem(QString::fromStdString(Entry(relative)));
    }
    std::string Path(std::string_view folder, std::string_view name) {
        return Entry(folder) + std::string(name);
    }
    const std::vector<std::string>& library() { return main().SongLibrary; }
};

TEST_F(SongScanTest, NumbersRunAcrossFoldersWithGrowingTotals) {
    Create();
    for (const char* n : {"a/1.mp3", "a/2.mp3", "a/3.mp3", "b/4.mp3", "b/5.mp3"})
        Song(n);
    Folder("a");
    Folder("b");
    ProgressWatch watch(&progress());
    std::vector<int> countsMeanwhile;
    watch.onCaption = [&](const std::string&) { countsMeanwhile.push_back(dm().LibraryCount); };
    setup().ReadSongs();

    EXPECT_EQ(watch.captions, (std::vector<std::string>{"Reading 1/3", "Reading 2/3", "Reading 3/3",
                                                        "Reading 4/5", "Reading 5/5"}));
    ASSERT_EQ(library().size(), 5u);
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(kv::RecordSongNumber(library()[i]), kv::PadLeft(std::to_string(i + 1), 6, "0"));
    EXPECT_EQ(kv::RecordPath(library()[3]), Path("b", "4.mp3"));
    EXPECT_EQ(countsMeanwhile, std::vector<int>(5, 0));
    EXPECT_EQ(dm().LibraryCount, 5);
    EXPECT_EQ(watch.shown, 1);
    EXPECT_EQ(watch.hidden, 1);
    EXPECT_EQ(progress().ProgressBar1->maximum(), 5);
    EXPECT_EQ(progress().height(), progress().minimumHeight());
}

// In front of the window that started the scan, with a caption and no title-bar buttons.
TEST_F(SongScanTest, TheProgressWindowStandsAboveTheWindowThatStartedTheScan) {
    Create();
    Song("a/1.mp3");
    Folder("a");
    ProgressWatch watch(&progress());
    setup().show();
    setup().Button1Click();  // "Read Songs"
    EXPECT_EQ(progress().parentWidget(), &setup());
    setup().hide();
    setup().ReadSongs();  // as the start-up does
    EXPECT_EQ(progress().parentWidget(), &main());

    EXPECT_TRUE(progress().isWindow());
    const Qt::WindowFlags flags = progress().windowFlags();
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    for (const Qt::WindowType button : {Qt::WindowCloseButtonHint, Qt::WindowMinimizeButtonHint,
                                        Qt::WindowMaximizeButtonHint, Qt::WindowSystemMenuHint})
        EXPECT_FALSE(flags & button) << button;
    EXPECT_EQ(watch.shown, 2);
    EXPECT_EQ(watch.hidden, 2);
}

TEST_F(SongScanTest, NamesSortWithoutRegardToCaseAndKeepTheirCase) {
    Create();
    Song("m/B.MP3");
    Song("m/a.mp3");
    Song("m/c.txt");
    Song("m/sub/d.mp3");
    Folder("m");
    setup().ReadSongs();
    ASSERT_EQ(library().size(), 2u);
    EXPECT_EQ(kv::RecordPath(library()[0]), Path("m", "a.mp3"));
    EXPECT_EQ(kv::RecordPath(library()[1]), Path("m", "B.MP3"));
}

TEST_F(SongScanTest, RecordsFollowTheTag) {
    struct Case {
        const char* name;
        std::optional<std::string> tag;
        const char *title, *artist, *genre, *album, *year, *comment;
    } cases[] = {
        {"tagged.mp3", TagBlock(" my song ", "artist", "album", "1999", "nice", 7), "MY SONG",
         "ARTIST", "007", "ALBUM", "1999", "NICE"},
        {"blank.mp3", TagBlock("      ", "", "", "", "", 255), "BLANK", "BLANK", "255", "BLANK", "",
         ""},
        {"full.mp3", TagBlock("abcdefghijklmnopqrstuvwxyzabcd"), "ABCDEFGHIJKLMNOPQRSTUVWXYZABCD",
         "BLANK", "000", "BLANK", "", ""},
        {"my.song.mp3", std::nullopt, "MY.SONG", "", "000", "", "", "<no tag>"},
        {"tag.mp3", "tag" + TagBlock("x").substr(3), "TAG", "", "000", "", "", "<no tag>"},
        {"short.mp3", std::string(), "SHORT", "<error>", "<er", "<error>", "<err", "<error>"},
    };
    Create();
    for (const Case& c : cases) {
        if (std::string(c.name) == "short.mp3")
            dir.write(std::string("s/") + c.name, "tiny");
        else
            Song(std::string("s/") + c.name, c.tag);
        Folder("s");
        setup().ReadSongs();
        setup().ListBox1->clear();
        ASSERT_EQ(library().size(), 1u) << c.name;
        const std::string& r = library()[0];
        EXPECT_EQ(kv::Trim(kv::RecordTitle(r)), c.title) << c.name;
        EXPECT_EQ(kv::Trim(kv::RecordArtist(r)), c.artist) << c.name;
        EXPECT_EQ(kv::RecordGenre(r), c.genre) << c.name;
        EXPECT_EQ(kv::Trim(kv::RecordAlbum(r)), c.album) << c.name;
        EXPECT_EQ(kv::Trim(kv::RecordYear(r)), c.year) << c.name;
        EXPECT_EQ(kv::Trim(kv::RecordComment(r)), c.comment) << c.name;
        EXPECT_EQ(r.size(), 133 + Path("s", c.name).size()) << c.name;
        std::filesystem::remove_all(dir / "s");
    }
}

TEST_F(SongScanTest, FileThatGoesDuringTheScanGivesTheErrorRecord) {
    Create();
    Song("g/1.mp3");
    const std::string second = Song("g/2.mp3");
    Folder("g");
    ProgressWatch watch(&progress());
    watch.onCaption = [&](const std::string& caption) {
        if (caption == "Reading 2/2")
            std::filesystem::remove(second);
    };
    setup().ReadSongs();
    ASSERT_EQ(library().size(), 2u);
    EXPECT_EQ(kv::Trim(kv::RecordTitle(library()[1])), "2");
    EXPECT_EQ(kv::Trim(kv::RecordArtist(library()[1])), "<error>");
    EXPECT_EQ(kv::RecordGenre(library()[1]), "<er");
}

TEST_F(SongScanTest, MissingAndEmptyFolderEntriesListNothing) {
    Create();
    Song("x/1.mp3");
    Song("y/2.mp3");
    Song("3.mp3");
    Folder("x");
    setup().ListBox1->addItem("");
    Folder("gone");
    Folder("y");
    // An empty entry must not list the current folder.
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    setup().ReadSongs();
    std::filesystem::current_path(cwd);
    ASSERT_EQ(library().size(), 2u);
    EXPECT_EQ(kv::RecordSongNumber(library()[1]), "000002");
    EXPECT_EQ(kv::RecordPath(library()[1]), Path("y", "2.mp3"));
}

TEST_F(SongScanTest, RescanFindsNewFilesAndEmptiesTheAllSongsList) {
    Create();
    Song("r/1.mp3");
    Folder("r");
    setup().ReadSongs();
    Song("r/0.mp3");
    allSongs().ListView1->addTopLevelItem(new QTreeWidgetItem(QStringList{"x"}));
    setup().ReadSongs();
    ASSERT_EQ(library().size(), 2u);
    EXPECT_EQ(kv::RecordPath(library()[0]), Path("r", "0.mp3"));
    EXPECT_EQ(allSongs().ListView1->topLevelItemCount(), 0);
}

TEST_F(SongScanTest, NoFoldersStillOpensAndClosesTheProgressWindow) {
    Create();
    ProgressWatch watch(&progress());
    setup().ReadSongs();
    EXPECT_TRUE(library().empty());
    EXPECT_EQ(dm().LibraryCount, 0);
    EXPECT_EQ(watch.shown, 1);
    EXPECT_EQ(watch.hidden, 1);
}

TEST_F(SongScanTest, ProtocolRescanShowsItsProgressInTheCurrentSongField) {
    Create();
    Song("p/1.mp3");
    Song("p/2.mp3");
    Folder("p");
    std::vector<std::string> texts;
    QObject::connect(main().edtCurrSong, &QLineEdit::textChanged,
                     [&](const QString& t) { texts.push_back(t.toStdString()); });
    ProgressWatch watch(&progress());
    main().IdTCPServer1Tag = 1;
    setup().ReadSongs();
    EXPECT_EQ(texts,
              (std::vector<std::string>{"Reading 1/2", "Reading 2/2", "Server read: 2 files"}));
    EXPECT_EQ(watch.shown, 0);

    setup().ListBox1->clear();
    setup().ReadSongs();
    EXPECT_EQ(main().edtCurrSong->text(), "Server read: 0 files");
}

TEST_F(SongScanTest, AScanDoesNotStartAnotherWhileItRuns) {
    Create();
    Song("n/1.mp3");
    Song("n/2.mp3");
    Folder("n");
    ProgressWatch watch(&progress());
    watch.onCaption = [&](const std::string&) { setup().Button1Click(); };
    setup().ReadSongs();
    EXPECT_EQ(watch.captions.size(), 2u);
    EXPECT_EQ(library().size(), 2u);
    EXPECT_FALSE(platform::scanUnderWay());
}

TEST_F(SongScanTest, ClosingTheServerDuringAScanWaitsForItsEnd) {
    Create();
    Song("c/1.mp3");
    Song("c/2.mp3");
    Folder("c");
    ProgressWatch watch(&progress());
    watch.onCaption = [&](const std::string&) { main().close(); };
    setup().ReadSongs();
    EXPECT_EQ(library().size(), 2u);  // the scan ran to its end
    EXPECT_FALSE(ended);
    EXPECT_TRUE(WaitUntil([&] { return ended; }));
    EXPECT_TRUE(library().empty());  // the close then freed the lists
}

TEST(ServerTagReader, FileThatCannotBeOpenedGivesFalseAndErrorFields) {
    std::string t = "x", a, g, al, y, c;
    EXPECT_FALSE(
        sonhall::ReadId3v1TagServer(platform::files::Name("/no/such/file.mp3"), t, a, g, al, y, c));
    EXPECT_EQ(t, "");
    for (const std::string* s : {&a, &g, &al, &y, &c})
        EXPECT_EQ(*s, "<error>");
}

}  // namespace
}  // namespace server_testing
