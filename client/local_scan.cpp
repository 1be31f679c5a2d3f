// The local library scan: every MP3 file of the configured folders, numbered in scan order,
// into the library, its list view, the genre index and the song information requests.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <array>
#include <set>

#include "client/data_module.h"
#include "client/main_window.h"
#include "client/progress_window.h"
#include "client/setup_window.h"
#include "client/song_sel_window.h"
#include "common/column_width.h"
#include "common/conversion.h"
#include "common/id3v1_tag.h"
#include "common/message_dialogs.h"
#include "common/song_record.h"
#include "common/text_helpers.h"
#include "platform/ascii.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/qt/text_edge.h"
#include "platform/widgets/status_panels.h"

namespace sonpad {
namespace {

constexpr int kColumns = 9;
constexpr size_t kLibraryRowImage = 4;

// Marks the scan as running for its whole length, however it ends.
class ScanMark {
  public:
    explicit ScanMark(bool& flag) : flag_(flag) { flag_ = true; }
    ~ScanMark() { flag_ = false; }
    ScanMark(const ScanMark&) = delete;
    ScanMark& operator=(const ScanMark&) = delete;

  private:
    bool& flag_;
};

// The main window owns the lists the scan fills: a close asked for meanwhile waits for the
// scan's end, and then happens.
class CloseAfterScan : public QObject {
  public:
    explicit CloseAfterScan(QWidget* window) : window_(window) {
        window_->installEventFilter(this);
    }
    ~CloseAfterScan() override {
        window_->removeEventFilter(this);
        if (asked_)
            QTimer::singleShot(0, window_, [w = window_] { w->close(); });
    }
    CloseAfterScan(const CloseAfterScan&) = delete;
    CloseAfterScan& operator=(const CloseAfterScan&) = delete;

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Close)
            return false;
        event->ignore();
        asked_ = true;
        return true;
    }

  private:
    QWidget* window_;
    bool asked_ = false;
};

class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// The library rows, built away from the list and handed to it at once, with its columns
// grown to their widest text.
class LibraryRows {
  public:
    explicit LibraryRows(QTreeWidget* view) : view_(view) {
        view_->setUpdatesEnabled(false);
        sorting_ = view_->isSortingEnabled();
        view_->setSortingEnabled(false);
        for (int c = 0; c < kColumns; ++c)
            widths_[c] = view_->columnWidth(c);
    }
    ~LibraryRows() {
        qDeleteAll(rows_);
        view_->setSortingEnabled(sorting_);
        view_->setUpdatesEnabled(true);
    }
    LibraryRows(const LibraryRows&) = delete;
    LibraryRows& operator=(const LibraryRows&) = delete;

    void Reserve(qsizetype n) { rows_.reserve(n); }

    // The texts give the columns' widths, the cells what the row shows.
    void Add(const std::array<std::string_view, kColumns>& texts, const QStringList& cells,
             const QIcon& icon) {
        auto* row = new QTreeWidgetItem(cells);
        row->setIcon(0, icon);
        rows_.append(row);
        for (int c = 0; c < kColumns; ++c)
            widths_[c] = kv::FitColumnWidth(texts[c], widths_[c]);
    }

    void HandOver() {
        view_->addTopLevelItems(rows_);
        rows_.clear();
        for (int c = 0; c < kColumns; ++c)
            if (widths_[c] != view_->columnWidth(c))
                view_->setColumnWidth(c, widths_[c]);
    }

  private:
    QTreeWidget* view_;
    QList<QTreeWidgetItem*> rows_;
    std::array<int, kColumns> widths_{};
    bool sorting_ = false;
};

struct Tag {
    std::string title, artist, genre, album, year, comment;
    bool found = false;
};

// A file the reader cannot read at all (shorter than a tag block, unreadable) counts as one
// without a tag, so the scan goes on with the next file.
Tag ReadTag(const std::string& path) {
    Tag t;
    try {
        t.found = kv::ReadId3v1Tag(path, t.title, t.artist, t.genre, t.album, t.year, t.comment);
    } catch (const platform::Error&) {
        t = Tag{};
    }
    if (!t.found)
        t = Tag{.genre = "012"};
    return t;
}

std::uint8_t GenreNumber(const std::string& code) {
    std::int32_t value = 0;
    kv::TryStrToInt(code, value);
    return static_cast<std::uint8_t>(value & 0xFF);
}

// Genre names by genre number, as the list and the index show them.
class GenreNames {
  public:
    explicit GenreNames(const TaSongSel& names) {
        for (int g = 0; g < 256; ++g) {
            own_[g] = names.GenreName(static_cast<std::uint8_t>(g));
            upper_[g] = kv::UpperCase(own_[g]);
            cell_[g] = platform::latin1(upper_[g]);
            indexed_[g] = kv::UpperCase(kv::PadRight(own_[g], 30, " "));
        }
    }
    const std::string& Own(std::uint8_t g) const { return own_[g]; }
    const std::string& Upper(std::uint8_t g) const { return upper_[g]; }
    const QString& Cell(std::uint8_t g) const { return cell_[g]; }
    const std::string& Indexed(std::uint8_t g) const { return indexed_[g]; }

  private:
    std::array<std::string, 256> own_, upper_, indexed_;
    std::array<QString, 256> cell_;
};

// The lists grow with each folder's files; room for them is made in large steps.
void Reserve(std::vector<std::string>& list, std::int64_t total) {
    const auto wanted = static_cast<size_t>(total);
    if (list.capacity() < wanted)
        list.reserve(std::max(wanted, 2 * list.capacity()));
}

// Sorted once, by keys folded once, in the list views' text order.
void SortWithoutRegardToCase(std::vector<std::string>& lines) {
    std::vector<std::pair<std::string, size_t>> keys;
    keys.reserve(lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
        keys.emplace_back(platform::ascii::foldAz(lines[i]), i);
    std::sort(keys.begin(), keys.end());
    std::vector<std::string> sorted;
    sorted.reserve(lines.size());
    for (const auto& key : keys)
        sorted.push_back(std::move(lines[key.second]));
    lines = std::move(sorted);
}

std::string Count(std::int64_t n) {
    return "Reading... (" + std::to_string(n) + " files)";
}

}  // namespace

void TaSetup::ScanLocalSongs() {
    if (Scanning)
        return;
    ScanMark mark(Scanning);
    TaMain& main = *forms_.aMain;
    CloseAfterScan closeWaits(&main);
    TaProgress& progress = *forms_.aProgress;
    TaSongSel& songSel = *forms_.aSongSel;
    TDm& dm = *forms_.Dm;
    QProgressBar* bar = progress.ProgressBar1;
    const GenreNames genres(songSel);

    WaitCursor hourglass;
    progress.setWindowTitle(QString());
    progress.show();

    // Genre codes as text; 999 stands for "Blank", which is always offered.
    std::set<std::string> genreCodes{"999"};

    main.SongInfoRequests.clear();
    main.SongLibrary.clear();
    main.GenreIndex.clear();
    songSel.TreeView1->clear();
    main.ListView2->clear();
    dm.LibraryIndex().Clear();

    // The lines as they were when the scan began, whatever happens to the list meanwhile.
    std::vector<std::string> folders;
    for (int i = 0; i < ListBox1->count(); ++i)
        folders.push_back(platform::fromFileName(ListBox1->item(i)->text()));

    std::int64_t total = 0, count = 0;
    QElapsedTimer sinceShown;
    sinceShown.start();
    const QIcon rowImage =
        kLibraryRowImage < main.ImageList1.size() ? main.ImageList1[kLibraryRowImage] : QIcon();
    {
        LibraryRows rows(main.ListView2);
        for (const std::string& folder : folders) {
            if (!platform::files::folderExists(folder)) {
                kv::ShowErrorDlg("This directory DOES NOT exist! \"" + folder + "\"");
                continue;
            }
            FileListBox1.SetMask("*.MP3");
            FileListBox1.SetDirectory(folder);
            const std::vector<std::string> names = FileListBox1.Items();
            const std::string disk = FileListBox1.DiskDirectory();
            const QString folderCell = platform::fileName(folder);
            total += static_cast<std::int64_t>(names.size());
            bar->setMaximum(static_cast<int>(total));
            Reserve(main.SongLibrary, total);
            Reserve(main.GenreIndex, total);
            rows.Reserve(static_cast<qsizetype>(main.SongLibrary.capacity()));
            dm.LibraryIndex().Reserve(main.SongLibrary.capacity());

            for (const std::string& name : names) {
                // Events and the progress at the display's rate, not for every file.
                const bool show = count == 0 || sinceShown.elapsed() >= env_.progressIntervalMs;
                if (show)
                    QCoreApplication::processEvents();
                ++count;

                const std::string path = folder + name;
                const Tag tag = ReadTag(disk + name);
                const std::uint8_t genre = GenreNumber(tag.genre);
                kv::SongFields fields{tag.title, tag.artist,  tag.genre,          tag.album,
                                      tag.year,  tag.comment, kv::UpperCase(path)};
                std::string record = kv::BuildSongRecord(count, fields);
                const std::string number = kv::RecordSongNumber(record);

                rows.Add({number, tag.title, tag.artist, genres.Upper(genre), tag.album, tag.year,
                          tag.comment, folder, name},
                         {platform::latin1(number), platform::latin1(tag.title),
                          platform::latin1(tag.artist), genres.Cell(genre),
                          platform::latin1(tag.album), platform::latin1(tag.year),
                          platform::latin1(tag.comment), folderCell, platform::fileName(name)},
                         rowImage);

                main.SongLibrary.push_back(std::move(record));
                dm.LibraryIndex().Add(main.SongLibrary,
                                      static_cast<std::int32_t>(main.SongLibrary.size() - 1));

                if (!tag.found) {
                    main.SongInfoRequests.push_back(kv::PadLeft(std::to_string(count - 1), 6, "0") +
                                                    kv::UpperCase(name));
                    kv::ShowErrorDlg("Error " + path + "\n\nPossible no ID3 tag read.");
                }

                main.GenreIndex.push_back(genres.Indexed(genre) +
                                          kv::PadRight(kv::Trim(tag.title), 30, " ") + number);
                genreCodes.insert(tag.genre);

                if (show) {
                    bar->setValue(static_cast<int>(count));
                    if (progress.Tag != 0) {
                        progress.setWindowTitle(platform::latin1(main.ScanCaption));
                        progress.SetStatusText(Count(count));
                    } else {
                        progress.setWindowTitle(platform::latin1(Count(count)));
                        progress.SetStatusText(tag.title);
                    }
                    bar->repaint();
                    progress.StatusBar1->repaint();
                    sinceShown.restart();
                }
            }
        }
        rows.HandOver();
    }
    dm.LibraryIndex().Follow(main.SongLibrary);

    if (!main.SongLibrary.empty()) {
        main.pnlButtons->setEnabled(true);
        main.Panel2->setEnabled(true);
        main.ListView1->clear();
        std::set<std::string, platform::ascii::LessNoCaseAz> names;
        for (const std::string& code : genreCodes)
            names.insert(genres.Own(GenreNumber(code)));
        main.ComboBox1->clear();
        QStringList items;
        for (const std::string& n : names)
            items.append(platform::latin1(n));
        main.ComboBox1->addItems(items);
        main.Label4->setText("0");
        dm.RefreshPlaylistCombo();
    }
    progress.close();
    SortWithoutRegardToCase(main.GenreIndex);
    if (progress.Tag == 1) {
        progress.resize(progress.width(), progress.minimumHeight());
        progress.Tag = 0;
    }
    FileListBox1.SetMask("");

    if (!main.SongInfoRequests.empty()) {
        dm.SetStatusText(0, "Error Count: " + std::to_string(main.SongInfoRequests.size()));
        dm.SetStatusText(1, main.SongInfoRequests.front());
    }

    songSel.Panel3->setVisible(true);
    songSel.btnAlbum->setEnabled(true);
    songSel.btnArtists->setEnabled(true);
    songSel.btnGenre->setEnabled(true);
    songSel.RadioButton2->setEnabled(false);
    songSel.RadioButton3->setEnabled(false);
    songSel.RadioButton1->setChecked(true);
}

}  // namespace sonpad
