// The library scan: every MP3 file of the configured folders, numbered in scan order.
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QTreeWidget>

#include "common/growing_reserve.h"
#include "platform/qt/non_input_events.h"
#include "platform/qt/text_edge.h"
#include "server/all_songs_window.h"
#include "server/data_module.h"
#include "server/main_window.h"
#include "server/progress_window.h"
#include "server/server_tag_reader.h"
#include "server/setup_window.h"

namespace sonhall {
namespace {

// Song numbers have six digits; the scan stops before they would repeat.
constexpr std::int64_t kMaxSongs = 999999;

// The scan as work under way for its whole length, however it ends.
class ScanMark {
  public:
    explicit ScanMark(TaMain& main) : main_(main) {}
    ~ScanMark() { main_.BusyEnded(); }
    ScanMark(const ScanMark&) = delete;
    ScanMark& operator=(const ScanMark&) = delete;

  private:
    TaMain& main_;
    platform::qt::LongWork work_{platform::WorkUnderWay::Kind::Scan};
};

// Keeps the list's repainting off while the scan fills the library.
class UpdatesOff {
  public:
    explicit UpdatesOff(QWidget* w) : w_(w) { w_->setUpdatesEnabled(false); }
    ~UpdatesOff() { w_->setUpdatesEnabled(true); }
    UpdatesOff(const UpdatesOff&) = delete;
    UpdatesOff& operator=(const UpdatesOff&) = delete;

  private:
    QWidget* w_;
};

}  // namespace

void TaSetup::ReadSongs() {
    if (platform::scanUnderWay())
        return;
    TaMain& main = *forms_.aMain;
    ScanMark mark(main);
    TaProgRead& progress = *forms_.aProgRead;
    QProgressBar* bar = progress.ProgressBar1;

    forms_.aAllSongs->ListView1->clear();
    main.SongLibrary.clear();
    main.SongFiles.clear();
    forms_.aDm->LibraryCount = 0;
    const bool protocol = main.IdTCPServer1Tag != 0;
    if (!protocol) {
        // Started from this window (Read Songs, or its close), or by the start-up.
        progress.ShowAbove(isVisible() ? static_cast<QWidget*>(this) : forms_.aMain);
        bar->setMaximum(0);
    }
    FileListBox1.SetMask("*.MP3");
    std::int64_t total = 0, n = 0;

    // Progress is shown at the display's rate, not for every file.
    QElapsedTimer sinceShown;
    sinceShown.start();
    const auto showProgress = [&] {
        const QString text =
            platform::latin1("Reading " + std::to_string(n) + "/" + std::to_string(total));
        if (protocol) {
            main.edtCurrSong->setText(text);
            main.edtCurrSong->repaint();
            main.PublishQueryAnswers();  // the other clients are answered with it
        } else {
            progress.setWindowTitle(text);
            bar->setValue(static_cast<int>(n));
            bar->repaint();
        }
        // Paints, timers and the connections' lines come in; the user's input is dropped, so
        // nothing the user does (a box, a folder chooser, a menu) can run an event loop on top
        // of the scan and hold it, the clients and the playback with it.
        platform::qt::letNonInputEventsIn();
        sinceShown.restart();
    };

    {
        UpdatesOff frozen(forms_.aAllSongs->ListView1);
        for (const std::string& folder : Folders()) {
            FileListBox1.SetDirectory(folder);
            const std::vector<std::string> names = FileListBox1.Items();
            const std::string disk = FileListBox1.DiskDirectory();
            total += static_cast<std::int64_t>(names.size());
            if (bar->maximum() < total)
                bar->setMaximum(static_cast<int>(total));
            const auto room = static_cast<size_t>(std::min(total, kMaxSongs));
            kv::ReserveGrowing(main.SongLibrary, room);
            kv::ReserveGrowing(main.SongFiles, room);
            for (const std::string& name : names) {
                if (n == kMaxSongs)
                    break;
                ++n;
                if (n == 1 || sinceShown.elapsed() >= env_.progressIntervalMs)
                    showProgress();
                main.SongLibrary.push_back(BuildScanRecord(n, folder + name, disk + name));
                main.SongFiles.push_back(disk + name);
            }
        }
    }

    if (protocol) {
        main.edtCurrSong->setText(platform::latin1("Server read: " + std::to_string(n) + " files"));
        main.PublishQueryAnswers();
    } else {
        bar->setValue(0);
        progress.close();
    }
    if (progress.height() == progress.maximumHeight())
        progress.ShrinkToMinimum();
    forms_.aDm->LibraryCount = static_cast<std::int32_t>(main.SongLibrary.size());
}

}  // namespace sonhall
