// The local library scan: every MP3 file of the configured folders, numbered in scan order,
// into the library, its list view, the genre index and the song information requests.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <array>
#include <set>

#include "client/data_module.h"
#include "client/library_rows.h"
#include "client/main_window.h"
#include "client/progress_window.h"
#include "client/setup_window.h"
#include "client/song_sel_window.h"
#include "common/conversion.h"
#include "common/growing_reserve.h"
#include "common/id3v1_tag.h"
#include "common/message_dialogs.h"
#include "common/song_record.h"
#include "common/text_helpers.h"
#include "platform/ascii.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/qt/non_input_events.h"
#include "platform/qt/text_edge.h"
#include "platform/widgets/status_panels.h"

namespace sonpad {
namespace {

constexpr size_t kLibraryRowImage = 4;

struct Tag {
    std::string title, artist, genre, album, year, comment;
    bool found = false;
};

// A file the reader cannot read at all (shorter than a tag block, unreadable) counts as one
// without a tag, so the scan goes on with the next file.
Tag ReadTag(const std::string& file) {
    const platform::files::Name path = platform::files::Name::exact(file);
    Tag t;
    try {
        t.found = kv::ReadId3v1Tag(path, t.title, t.artist, t.genre, t.album, t.year, t.comment);
    } catch (const platform::Error&) {
        t.found = false;
    }
    if (!t.found) {
        t = Tag();
        t.genre = "012";
    }
    return t;
}

std::uint8_t GenreNumber(const std::string& code) {
    std::int32_t value = 0;
    kv::TryStrToInt(code, value);
    return static_cast<std::uint8_t>(value & 0xFF);
}

// Genre names by genre number, as the combo, the list and the index show them.
class GenreNames {
  public:
    explicit GenreNames(const TaSongSel& names) {
        for (int g = 0; g < 256; ++g) {
            own_[g] = names.GenreName(static_cast<std::uint8_t>(g));
            upper_[g] = kv::UpperCase(own_[g]);
            indexed_[g] = kv::UpperCase(kv::PadRight(own_[g], 30, " "));
        }
    }
    const std::string& Own(std::uint8_t g) const { return own_[g]; }
    const std::string& Upper(std::uint8_t g) const { return upper_[g]; }
    const std::string& Indexed(std::uint8_t g) const { return indexed_[g]; }

  private:
    std::array<std::string, 256> own_, upper_, indexed_;
};

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

// One pass over the folders: what each file adds, and the progress shown meanwhile.
class ScanPass {
  public:
    ScanPass(TaMain& main, TaProgress& progress, TDm& dm, const TaSongSel& names,
             platform::FileListBox& lister, int progressIntervalMs)
        : main_(main),
          progress_(progress),
          dm_(dm),
          genres_(names),
          lister_(lister),
          rows_(main.ListView2),
          intervalMs_(progressIntervalMs),
          rowImage_(kLibraryRowImage < main.ImageList1.size() ? main.ImageList1[kLibraryRowImage]
                                                              : QIcon()) {
        sinceShown_.start();
    }

    void Folder(const std::string& folder) {
        // Set for each folder: a playlist refresh while events are let in changes the mask.
        lister_.SetMask("*.MP3");
        lister_.SetDirectory(folder);
        if (lister_.DiskDirectory().empty()) {
            kv::ShowErrorDlg("This directory DOES NOT exist! \"" + folder + "\"");
            return;
        }
        const std::vector<std::string> names = lister_.Items();
        const std::string disk = lister_.DiskDirectory();
        total_ += static_cast<std::int64_t>(names.size());
        progress_.ProgressBar1->setMaximum(static_cast<int>(total_));
        kv::ReserveGrowing(main_.SongLibrary, static_cast<size_t>(total_));
        kv::ReserveGrowing(main_.GenreIndex, static_cast<size_t>(total_));
        kv::ReserveGrowing(main_.SongFiles, static_cast<size_t>(total_));
        rows_.Reserve(static_cast<qsizetype>(main_.SongLibrary.capacity()));
        dm_.LibraryIndex().Reserve(main_.SongLibrary.capacity());

        for (const std::string& name : names)
            File(folder, disk, name);
    }

    // The rows go to the list; the index takes the library as it now is.
    void Finish() {
        rows_.HandOver();
        dm_.LibraryIndex().Follow(main_.SongLibrary);
    }

    // The genre names met, in the combo's order; "Blank" (code 999) is always among them.
    QStringList GenreItems() const {
        std::set<std::string, platform::ascii::LessNoCaseAz> names;
        for (const std::string& code : genreCodes_)
            names.insert(genres_.Own(GenreNumber(code)));
        QStringList items;
        for (const std::string& n : names)
            items.append(platform::latin1(n));
        return items;
    }

  private:
    void File(const std::string& folder, const std::string& disk, const std::string& name) {
        // Events and the progress at the display's rate, not for every file.
        const bool show = count_ == 0 || sinceShown_.elapsed() >= intervalMs_;
        if (show)
            platform::qt::letNonInputEventsIn();
        ++count_;

        const std::string path = folder + name;
        std::string file = disk + name;
        const Tag tag = ReadTag(file);
        const std::uint8_t genre = GenreNumber(tag.genre);
        const kv::SongFields fields{tag.title, tag.artist,  tag.genre,          tag.album,
                                    tag.year,  tag.comment, kv::UpperCase(path)};
        std::string record = kv::BuildSongRecord(count_, fields);
        const std::string number = kv::RecordSongNumber(record);

        rows_.Add({number, tag.title, tag.artist, genres_.Upper(genre), tag.album, tag.year,
                   tag.comment, folder, name},
                  rowImage_);

        main_.SongLibrary.push_back(std::move(record));
        main_.SongFiles.push_back(std::move(file));
        dm_.LibraryIndex().Add(main_.SongLibrary, static_cast<int>(main_.SongLibrary.size() - 1));

        // A box stands over the progress of its own file, not of one shown earlier.
        if (show || !tag.found)
            ShowProgress(tag.title);
        if (!tag.found) {
            main_.SongInfoRequests.push_back(kv::PadLeft(std::to_string(count_ - 1), 6, "0") +
                                             kv::UpperCase(name));
            kv::ShowErrorDlg("Error " + path + "\n\nPossible no ID3 tag read.");
        }

        main_.GenreIndex.push_back(genres_.Indexed(genre) +
                                   kv::PadRight(kv::Trim(tag.title), 30, " ") + number);
        genreCodes_.insert(tag.genre);
    }

    // The first scan shows the program's caption and the count below; later ones the count
    // in the caption and the title just read below.
    void ShowProgress(const std::string& title) {
        progress_.ProgressBar1->setValue(static_cast<int>(count_));
        if (progress_.Tag != 0) {
            progress_.setWindowTitle(platform::latin1(main_.ScanCaption));
            progress_.SetStatusText(Count(count_));
        } else {
            progress_.setWindowTitle(platform::latin1(Count(count_)));
            progress_.SetStatusText(title);
        }
        progress_.ProgressBar1->repaint();
        progress_.StatusBar1->repaint();
        sinceShown_.restart();
    }

    TaMain& main_;
    TaProgress& progress_;
    TDm& dm_;
    const GenreNames genres_;
    platform::FileListBox& lister_;
    LibraryRows rows_;
    const int intervalMs_;
    const QIcon rowImage_;
    QElapsedTimer sinceShown_;
    std::int64_t total_ = 0, count_ = 0;
    std::set<std::string> genreCodes_{"999"};  // as text, in ascending order
};

// The tree is rebuilt from the new library at the window's next activation.
void ResetSongSelection(TaSongSel& sel) {
    sel.Panel3->setVisible(true);
    sel.btnAlbum->setEnabled(true);
    sel.btnArtists->setEnabled(true);
    sel.btnGenre->setEnabled(true);
    sel.RadioButton2->setEnabled(false);
    sel.RadioButton3->setEnabled(false);
    sel.RadioButton1->setChecked(true);
}

}  // namespace

void TaSetup::ScanLocalSongs() {
    // It lets events in: a second start inside it does nothing.
    if (platform::scanUnderWay())
        return;
    TaMain& main = *forms_.aMain;
    TaProgress& progress = *forms_.aProgress;
    TaSongSel& songSel = *forms_.aSongSel;
    TDm& dm = *forms_.Dm;

    // The pointer shows it, the user's input is dropped.
    const platform::qt::LongWork work(platform::WorkUnderWay::Kind::Scan);
    progress.setWindowTitle(QString());
    // Started from this window's scan button, or by the main window.
    progress.ShowAbove(isVisible() ? static_cast<QWidget*>(this) : &main);

    main.SongInfoRequests.clear();
    main.SongLibrary.clear();
    main.SongFiles.clear();
    main.GenreIndex.clear();
    songSel.ClearTree();
    main.ListView2->clear();
    dm.LibraryIndex().Clear();

    // The lines as they were when the scan began, whatever happens to the list meanwhile.
    std::vector<std::string> folders;
    for (int i = 0; i < ListBox1->count(); ++i)
        folders.push_back(platform::fromFileName(ListBox1->item(i)->text()));

    QStringList genreItems;
    {
        ScanPass pass(main, progress, dm, songSel, FileListBox1, env_.progressIntervalMs);
        for (const std::string& folder : folders)
            pass.Folder(folder);
        pass.Finish();
        genreItems = pass.GenreItems();
    }

    if (!main.SongLibrary.empty()) {
        main.pnlButtons->setEnabled(true);
        main.Panel2->setEnabled(true);
        main.ListView1->clear();
        dm.UpdateSongQueCaption();  // no count of songs no longer queued
        main.ComboBox1->clear();
        main.ComboBox1->addItems(genreItems);
        main.ComboBox1->setCurrentIndex(-1);  // no text: no genre is chosen, as the count says
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
    ResetSongSelection(songSel);
}

}  // namespace sonpad
