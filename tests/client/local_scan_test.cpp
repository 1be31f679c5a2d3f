// The local scan over real folders: records, rows, the genre index and combo, the requests
// for untagged files, the progress window, and what the scan resets.
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <functional>

#include "client/data_module.h"
#include "client/main_window.h"
#include "client/progress_window.h"
#include "client/setup_window.h"
#include "client/song_sel_window.h"
#include "common/song_record.h"
#include "common/text_helpers.h"
#include "platform/qt/text_edge.h"
#include "platform/widgets/status_panels.h"
#include "platform/widgets/text_sort.h"
#include "platform/work_under_way.h"
#include "tests/client/client_test_support.h"
#include "tests/support/mp3_fixtures.h"
#include "tests/support/paint_counter.h"
#include "tests/support/waits.h"

namespace client_testing {
namespace {

using testing_support::TagBlock;

// What the progress window showed: every caption, and after each file the bar and the
// status line; a hook runs after each file.
class ProgressWatch : public QObject {
  public:
    explicit ProgressWatch(sonpad::TaProgress& window) : window_(window) {
        window.installEventFilter(this);
        QObject::connect(window.ProgressBar1, &QProgressBar::valueChanged, this, [this](int v) {
            if (v <= 0)
                return;
            values.push_back(v);
            maxima.push_back(window_.ProgressBar1->maximum());
            if (afterEachFile)
                afterEachFile();
        });
    }
    std::vector<std::string> captions;
    std::vector<int> values, maxima;
    int shown = 0, hidden = 0;
    std::function<void()> afterEachFile;

    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::WindowTitleChange)
            captions.push_back(window_.windowTitle().toStdString());
        if (e->type() == QEvent::Show)
            ++shown;
        if (e->type() == QEvent::Hide)
            ++hidden;
        return false;
    }

  private:
    sonpad::TaProgress& window_;
};

using testing_support::PaintCounter;

class LocalScanTest : public ClientTest {
  protected:
    void SetUp() override { Create(); }

    // A real encoded MP3 file, with the tag block when one is given.
    std::string Song(std::string_view relative, std::optional<std::string> tag = TagBlock("T")) {
        std::string bytes =
            testing_support::readFile(testing_support::FixtureMp3("tone_22k_mono_1500ms.mp3"));
        if (tag)
            bytes += *tag;
        return dir.write(relative, bytes);
    }
    void Folder(std::string_view relative) { Line(Entry(relative)); }
    void Line(const std::string& line) { setup().ListBox1->addItem(platform::fileName(line)); }
    void Scan() { setup().ScanLocalSongs(); }

    const std::vector<std::string>& library() { return main().SongLibrary; }
    int rows() { return main().ListView2->topLevelItemCount(); }
    std::vector<std::string> Row(int i) {
        std::vector<std::string> cells;
        QTreeWidgetItem* row = main().ListView2->topLevelItem(i);
        for (int c = 0; c < 9; ++c)
            cells.push_back(row->text(c).toStdString());
        return cells;
    }
    static std::vector<std::string> Items(QComboBox* combo) {
        std::vector<std::string> items;
        for (int i = 0; i < combo->count(); ++i)
            items.push_back(combo->itemText(i).toStdString());
        return items;
    }
    std::string Untagged(const std::string& path) {
        return "Error " + path + "\n\nPossible no ID3 tag read.";
    }
};

TEST_F(LocalScanTest, NumbersRunAcrossFoldersInNameOrderAsTheBarsMaximumGrows) {
    for (const char* n : {"a/b.mp3", "a/A.mp3", "b/3.mp3", "b/1.mp3", "b/2.mp3"})
        Song(n);
    Folder("a");
    Folder("b");
    ProgressWatch watch(progress());
    Scan();

    EXPECT_EQ(watch.values, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(watch.maxima, (std::vector<int>{2, 2, 5, 5, 5}));
    ASSERT_EQ(library().size(), 5u);
    const char* names[] = {"A.MP3", "B.MP3", "1.MP3", "2.MP3", "3.MP3"};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(kv::RecordSongNumber(library()[i]), kv::PadLeft(std::to_string(i + 1), 6, "0"));
        EXPECT_EQ(kv::RecordPath(library()[i]), Entry(i < 2 ? "a" : "b") + names[i]);
    }
    ASSERT_EQ(rows(), 5);
    EXPECT_EQ(Row(0)[0], "000001");
    EXPECT_EQ(Row(0)[7], Entry("a"));
    EXPECT_EQ(Row(0)[8], "A.mp3");  // as the disk spells it
    EXPECT_EQ(watch.shown, 1);
    EXPECT_EQ(watch.hidden, 1);
}

TEST_F(LocalScanTest, NameInTwoFoldersAndFolderListedTwiceGiveARecordEach) {
    Song("a/song.mp3");
    Song("b/SONG.MP3");
    Folder("a");
    Folder("b");
    Folder("a");
    Scan();
    ASSERT_EQ(library().size(), 3u);
    EXPECT_EQ(kv::RecordPath(library()[2]), Entry("a") + "SONG.MP3");
    EXPECT_EQ(kv::RecordSongNumber(library()[2]), "000003");
    EXPECT_EQ(dm().FindSongByFileName("song.mp3"), 0);
    EXPECT_EQ(dm().FindSongByNo("000003"), 2);
    EXPECT_EQ(dm().GetFilePath(1), Entry("b"));
}

TEST_F(LocalScanTest, MaskIgnoresCaseAndLeavesOtherFilesAndSubFolders) {
    for (const char* n : {"m/song.mp3", "m/LOUD.MP3", "m/Mixed.Mp3", "m/notes.txt", "m/.hidden.mp3",
                          "m/sub/deep.mp3", "m/mp3"})
        Song(n);
    dir.mkdir("m/folder.mp3");
    Folder("m");
    Scan();
    ASSERT_EQ(rows(), 3);
    EXPECT_EQ(Row(0)[8], "LOUD.MP3");
    EXPECT_EQ(Row(1)[8], "Mixed.Mp3");
    EXPECT_EQ(Row(2)[8], "song.mp3");
}

TEST_F(LocalScanTest, RecordsRowsAndIndexLinesFollowTheTag) {
    struct Case {
        const char* name;
        std::optional<std::string> tag;
        const char* genreCode;
        const char* genreCell;
    } cases[] = {
        {"1.mp3", TagBlock("Hello", "Artist", "Album", "1999", "Nice", 17), "017", "ROCK"},
        {"2.mp3", TagBlock("", "", "", "", "", 200), "200", "BLANK"},
        {"3.mp3", TagBlock(std::string(30, 'x'), " pad ", "", "99", "", 255), "255", "BLANK"},
        {"4.mp3", std::nullopt, "012", "OTHER"},
        {"5.mp3", "TAg" + TagBlock("lower g").substr(3), "012", "OTHER"},
    };
    for (const Case& c : cases)
        Song(std::string("t/") + c.name, c.tag);
    Folder("t");
    dialogs.expectError(Untagged(Entry("t") + "4.mp3"));
    dialogs.expectError(Untagged(Entry("t") + "5.mp3"));
    Scan();
    ASSERT_EQ(library().size(), 5u);

    const std::string& hello = library()[0];
    EXPECT_EQ(kv::RecordTitle(hello), "Hello" + std::string(25, ' '));
    EXPECT_EQ(kv::RecordYear(hello), "1999");
    EXPECT_EQ(hello.size(), 133 + (Entry("t") + "1.MP3").size());
    EXPECT_EQ(Row(0), (std::vector<std::string>{"000001", "Hello", "Artist", "ROCK", "Album",
                                                "1999", "Nice", Entry("t"), "1.mp3"}));
    EXPECT_EQ(kv::RecordArtist(library()[2]), " pad " + std::string(25, ' '));
    EXPECT_EQ(kv::RecordYear(library()[2]), "  99");
    EXPECT_EQ(Row(2)[2], " pad ");
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(kv::RecordGenre(library()[i]), cases[i].genreCode) << i;
        EXPECT_EQ(Row(static_cast<int>(i))[3], cases[i].genreCell) << i;
    }
    EXPECT_EQ(kv::Copy(library()[3], 7, 127), std::string(60, ' ') + "012" + std::string(64, ' '));
    EXPECT_EQ(main().SongInfoRequests, (std::vector<std::string>{"0000034.MP3", "0000045.MP3"}));

    ASSERT_EQ(main().GenreIndex.size(), 5u);
    for (const std::string& line : main().GenreIndex)
        EXPECT_EQ(line.size(), 66u);
    EXPECT_EQ(main().GenreIndex[0],
              kv::PadRight("BLANK", 30, " ") + std::string(30, ' ') + "000002");
    EXPECT_EQ(main().GenreIndex[1],
              kv::PadRight("BLANK", 30, " ") + std::string(30, 'x') + "000003");
    EXPECT_EQ(main().GenreIndex[4],
              kv::PadRight("ROCK", 30, " ") + kv::PadRight("Hello", 30, " ") + "000001");
}

TEST_F(LocalScanTest, GenreComboOffersBlankAndTheGenresMet) {
    Song("g/1.mp3", TagBlock("a", "", "", "", "", 17));
    Song("g/2.mp3", TagBlock("b", "", "", "", "", 12));
    Song("g/3.mp3", TagBlock("c", "", "", "", "", 17));
    Folder("g");
    Scan();
    EXPECT_EQ(Items(main().ComboBox1), (std::vector<std::string>{"Blank", "Other", "Rock"}));
}

TEST_F(LocalScanTest, GenreIndexRunsByGenreThenTitleWithoutRegardToCase) {
    Song("s/1.mp3", TagBlock("beta", "", "", "", "", 17));
    Song("s/2.mp3", TagBlock("Alpha", "", "", "", "", 17));
    Song("s/3.mp3", TagBlock("alpha", "", "", "", "", 0));
    Song("s/4.mp3", TagBlock("_under", "", "", "", "", 17));
    Folder("s");
    Scan();
    std::vector<std::string> order;
    for (const std::string& line : main().GenreIndex)
        order.push_back(kv::Trim(line.substr(0, 30)) + "/" + kv::Trim(line.substr(30, 30)));
    EXPECT_EQ(order,
              (std::vector<std::string>{"BLUES/alpha", "ROCK/Alpha", "ROCK/beta", "ROCK/_under"}));
}

TEST_F(LocalScanTest, UntaggedSeventhFileIsRequestedByItsIndex) {
    for (int i = 1; i <= 6; ++i)
        Song("u/a" + std::to_string(i) + ".mp3");
    Song("u/x.mp3", std::nullopt);
    Folder("u");
    main().StatusBar1->SetText(0, "Local");
    dialogs.expectError(Untagged(Entry("u") + "x.mp3"));
    Scan();
    EXPECT_EQ(main().SongInfoRequests, std::vector<std::string>{"000006X.MP3"});
    EXPECT_EQ(main().StatusBar1->Text(0), "Error Count: 1");
    EXPECT_EQ(main().StatusBar1->Text(1), "000006X.MP3");
}

// Boxes that look at the windows behind them as they come up.
class BoxesLookingBehind : public testing_support::FakeDialogs {
  public:
    std::function<void()> onError;
    void showError(std::string_view text) override {
        if (onError)
            onError();
        FakeDialogs::showError(text);
    }
};

TEST_F(LocalScanTest, ABoxForAnUntaggedFileStandsOverTheProgressOfThatFile) {
    for (int i = 1; i <= 3; ++i)
        Song("u/a" + std::to_string(i) + ".mp3");
    Song("u/b.mp3", std::nullopt);
    Folder("u");
    main().FirstShow = false;  // no start-up
    main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main()));
    int listPaints = 0;
    PaintCounter counter(main().ListView2->viewport(), [&] { ++listPaints; });

    // The first scan counts in the status line, later ones in the caption.
    for (const bool first : {true, false}) {
        SCOPED_TRACE(first);
        BoxesLookingBehind boxes;
        boxes.expectError(Untagged(Entry("u") + "b.mp3"));
        std::string count;
        bool listDrawn = false;
        boxes.onError = [&] {
            count = first ? progress().StatusText() : progress().windowTitle().toStdString();
            // A box's own loop lets the window behind it draw itself.
            const int before = listPaints;
            main().ListView2->viewport()->update();
            QCoreApplication::processEvents();
            listDrawn = listPaints > before;
        };
        Scan();
        EXPECT_EQ(boxes.pending(), 0u);
        EXPECT_EQ(count, "Reading... (4 files)");
        EXPECT_TRUE(listDrawn);
    }
}

TEST_F(LocalScanTest, FilesTheReaderCannotReadCountAsUntaggedAndTheScanGoesOn) {
    dir.write("bad/empty.mp3", "");
    dir.write("bad/short.mp3", std::string(127, 'x'));
    std::filesystem::copy_file(testing_support::FixtureMp3("tone_cbr_truncated.mp3"),
                               dir / "bad/truncated.mp3");
    Song("bad/caf\xE9 Song.mp3", TagBlock("Caf\xE9", "", "", "", "", 3));
    Song("bad/zz.mp3");
    Folder("bad");
    for (const char* n : {"empty.mp3", "short.mp3", "truncated.mp3"})
        dialogs.expectError(Untagged(Entry("bad") + n));
    Scan();
    ASSERT_EQ(library().size(), 5u);
    EXPECT_EQ(kv::RecordPath(library()[0]), Entry("bad") + "CAF\xE9 SONG.MP3");
    EXPECT_EQ(kv::Trim(kv::RecordTitle(library()[0])), "Caf\xE9");
    EXPECT_EQ(Row(0)[1].size(), 5u);  // "Café" as Latin-1
    EXPECT_EQ(kv::RecordGenre(library()[1]), "012");
    EXPECT_EQ(
        main().SongInfoRequests,
        (std::vector<std::string>{"000001EMPTY.MP3", "000002SHORT.MP3", "000003TRUNCATED.MP3"}));
    EXPECT_EQ(kv::Trim(kv::RecordTitle(library()[4])), "T");
}

TEST_F(LocalScanTest, FolderWithLatin1NameAndMixedCaseIsFoundFromItsStoredLine) {
    Song("Caf\xE9 Music/Song.MP3", TagBlock("Latin"));
    Folder("Caf\xE9 Music");  // stored upper case: only a to z change
    Scan();
    ASSERT_EQ(library().size(), 1u);
    EXPECT_EQ(kv::RecordPath(library()[0]), Entry("Caf\xE9 Music") + "SONG.MP3");
    EXPECT_EQ(Row(0)[1], "Latin");
    EXPECT_EQ(Row(0)[8], "Song.MP3");
}

TEST_F(LocalScanTest, FolderLinesThatNameNothingAreReportedAndSkipped) {
    Song("real/1.mp3");
    Song("afile.mp3");
    Line("");
    Line(Entry("missing"));
    Line(dir / "afile.mp3");
    Folder("real");
    dialogs.expectError("This directory DOES NOT exist! \"\"");
    dialogs.expectError("This directory DOES NOT exist! \"" + Entry("missing") + "\"");
    dialogs.expectError("This directory DOES NOT exist! \"" + dir / "afile.mp3" + "\"");
    Scan();
    ASSERT_EQ(library().size(), 1u);
    EXPECT_EQ(kv::RecordSongNumber(library()[0]), "000001");
}

TEST_F(LocalScanTest, FirstScanShowsTheTallWindowWithTheCaptionLaterScansTheCount) {
    Song("p/1.mp3", TagBlock("One"));
    Song("p/2.mp3", TagBlock("Two "));
    Folder("p");
    EXPECT_EQ(progress().Tag, 1);
    EXPECT_EQ(progress().height(), 118);
    {
        ProgressWatch watch(progress());
        Scan();
        EXPECT_EQ(watch.captions, (std::vector<std::string>{"", "Sonpad Software v.2.0a"}));
        EXPECT_EQ(progress().StatusText(), "Reading... (2 files)");
    }
    EXPECT_EQ(progress().Tag, 0);
    EXPECT_EQ(progress().height(), 54);

    ProgressWatch watch(progress());
    Scan();
    EXPECT_EQ(watch.captions,
              (std::vector<std::string>{"", "Reading... (1 files)", "Reading... (2 files)"}));
    EXPECT_EQ(progress().StatusText(), "Two ");
    EXPECT_EQ(progress().height(), 54);
    EXPECT_EQ(watch.shown, 1);
    EXPECT_EQ(watch.hidden, 1);
}

TEST_F(LocalScanTest, ProgressStandsAboveTheWindowThatStartedTheScan) {
    Song("a/1.mp3");
    Folder("a");
    ProgressWatch watch(progress());
    setup().show();
    setup().BitBtn2Click();  // the scan button
    EXPECT_EQ(progress().parentWidget(), &setup());
    setup().hide();
    Scan();  // as the main window starts it
    EXPECT_EQ(progress().parentWidget(), &main());
    EXPECT_TRUE(progress().isWindow());
    const Qt::WindowFlags flags = progress().windowFlags();
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    EXPECT_FALSE(flags & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint));
    EXPECT_EQ(watch.shown, 2);
    EXPECT_EQ(watch.hidden, 2);
}

TEST_F(LocalScanTest, SongsFoundEmptyTheQueueAndRefreshTheCombosAndNoneFoundKeepsThem) {
    dir.write("lists/Party.PLY", "");
    setup().Edit2->setText(QString::fromStdString(Entry("lists")));
    main().ListView1->addTopLevelItem(new QTreeWidgetItem(QStringList{"000009"}));
    dm().UpdateSongQueCaption();
    main().ComboBox1->addItem("Old");
    main().Label4->setText("7");
    main().Label6->setText("3");
    main().StatusBar1->SetText(0, "Local");
    sonpad::TaSongSel& sel = songSel();
    const auto touchSelection = [&] {
        sel.TreeView1->addTopLevelItem(new QTreeWidgetItem(QStringList{"node"}));
        sel.Panel3->setVisible(false);
        sel.btnAlbum->setEnabled(false);
        sel.btnArtists->setEnabled(false);
        sel.btnGenre->setEnabled(false);
        sel.RadioButton2->setEnabled(true);
        sel.RadioButton3->setEnabled(true);
        sel.RadioButton3->setChecked(true);
    };
    const auto expectSelectionReset = [&](const char* when) {
        EXPECT_EQ(sel.TreeView1->topLevelItemCount(), 0) << when;
        EXPECT_FALSE(sel.Panel3->isHidden()) << when;
        EXPECT_TRUE(sel.btnAlbum->isEnabled() && sel.btnArtists->isEnabled() &&
                    sel.btnGenre->isEnabled())
            << when;
        EXPECT_FALSE(sel.RadioButton2->isEnabled() || sel.RadioButton3->isEnabled()) << when;
        EXPECT_TRUE(sel.RadioButton1->isChecked()) << when;
    };

    touchSelection();
    Scan();  // no folder: nothing found
    expectSelectionReset("nothing found");
    EXPECT_EQ(main().ListView1->topLevelItemCount(), 1);
    EXPECT_EQ(main().GroupSongQue->title(), "[ SONG QUE (Total/Played/Repeat: 1/0/0) ]");
    EXPECT_EQ(Items(main().ComboBox1), std::vector<std::string>{"Old"});
    EXPECT_EQ(main().Label4->text(), "7");
    EXPECT_EQ(main().ComboBox2->count(), 0);
    EXPECT_EQ(main().Label6->text(), "3");
    EXPECT_FALSE(main().pnlButtons->isEnabled());
    EXPECT_EQ(main().StatusBar1->Text(0), "Local");

    Song("f/1.mp3");
    Folder("f");
    touchSelection();
    Scan();
    expectSelectionReset("songs found");
    EXPECT_EQ(main().ListView1->topLevelItemCount(), 0);
    EXPECT_EQ(main().GroupSongQue->title(), "[ SONG QUE ]");
    EXPECT_EQ(Items(main().ComboBox1), (std::vector<std::string>{"Blank", "Blues"}));
    EXPECT_EQ(main().ComboBox1->currentText(), "") << "no genre chosen";
    EXPECT_EQ(main().Label4->text(), "0");
    EXPECT_EQ(Items(main().ComboBox2), std::vector<std::string>{"Party.ply"});
    EXPECT_EQ(main().ComboBox2->currentText(), "") << "no playlist chosen";
    EXPECT_EQ(main().Label6->text(), "0");
    EXPECT_TRUE(main().pnlButtons->isEnabled());
    EXPECT_TRUE(main().Panel2->isEnabled());
    EXPECT_EQ(main().StatusBar1->Text(0), "Local");  // no untagged file
    EXPECT_EQ(setup().FileListBox1.Mask(), "");
}

TEST_F(LocalScanTest, RowsCarryTheLibraryImageAndColumnsGrowToTheWidestText) {
    Song("w/1.mp3", TagBlock("short", std::string(30, 'a')));
    Song("w/2.mp3", TagBlock(std::string(30, 't'), "b"));
    Folder("w");
    QTreeWidget* list = main().ListView2;
    list->setColumnWidth(1, 400);
    Scan();
    EXPECT_EQ(list->columnWidth(0), 84);  // six digits need 59
    EXPECT_EQ(list->columnWidth(1), 400);
    EXPECT_EQ(list->columnWidth(2), 9 * 30 + 5);
    EXPECT_EQ(list->columnWidth(7), static_cast<int>(9 * Entry("w").size() + 5));
    EXPECT_EQ(list->topLevelItem(1)->icon(0).cacheKey(), main().ImageList1[4].cacheKey());
    EXPECT_FALSE(list->isSortingEnabled());
    EXPECT_TRUE(list->updatesEnabled());
}

TEST_F(LocalScanTest, LibraryRowsSortInTheListsTextOrder) {
    Song("o/1.mp3", TagBlock("beta"));
    Song("o/2.mp3", TagBlock("_under"));
    Song("o/3.mp3", TagBlock("Alpha"));
    Folder("o");
    Scan();
    platform::widgets::SortRowsByColumnText(main().ListView2, 1);
    EXPECT_EQ(Row(0)[1], "Alpha");
    EXPECT_EQ(Row(1)[1], "beta");
    EXPECT_EQ(Row(2)[1], "_under");  // "_" comes after the letters
}

TEST_F(LocalScanTest, ASecondStartDoesNothingAndACloseWaitsForTheScansEnd) {
    Song("n/1.mp3");
    Song("n/2.mp3");
    Folder("n");
    ProgressWatch watch(progress());
    std::vector<int> foundMeanwhile;
    watch.afterEachFile = [&] {
        setup().BitBtn2Click();
        main().close();
        foundMeanwhile.push_back(dm().FindSongByNo("000001"));
        foundMeanwhile.push_back(dm().FindSongByFileName("2.mp3"));
    };
    Scan();
    EXPECT_EQ(watch.values, (std::vector<int>{1, 2}));
    EXPECT_EQ(library().size(), 2u);
    EXPECT_FALSE(platform::scanUnderWay());
    EXPECT_FALSE(ended);  // held while the scan ran
    // After each file the library holds it and the files before it.
    EXPECT_EQ(foundMeanwhile, (std::vector<int>{0, -1, 0, 1}));
    EXPECT_EQ(dm().FindSongByFileName("2.mp3"), 1);
    EXPECT_TRUE(testing_support::WaitUntil([&] { return ended; }));
}

}  // namespace
}  // namespace client_testing
