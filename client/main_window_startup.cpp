// The first show's start-up work, the close with its saved settings and queue file, and the
// tray menu.
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QMenu>
#include <QMetaObject>
#include <QSlider>
#include <QToolButton>
#include <QTreeWidget>

#include "client/config_keys.h"
#include "client/data_module.h"
#include "client/main_window.h"
#include "client/playlist_file.h"
#include "client/setup_window.h"
#include "client/tray_icon.h"
#include "client/volume_bar.h"
#include "common/at_exit.h"
#include "common/config_file.h"
#include "common/text_helpers.h"
#include "common/text_lines.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/event_guard.h"
#include "platform/files.h"
#include "platform/qt/locale_compare.h"
#include "platform/qt/non_input_events.h"
#include "platform/qt/text_edge.h"
#include "platform/widgets/animate_control.h"
#include "platform/widgets/spin_edit.h"

namespace sonpad {
namespace {

constexpr int kFilenameColumn = 4;  // the queue's "Filename" column

}  // namespace

void TaMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    using Kind = platform::WorkUnderWay::Kind;
    if (!FirstShow || startUpDue_ || platform::workUnderWay(Kind::StartUp))
        return;
    // Start-up runs from the event loop once every form exists and the window is on screen.
    startUpDue_.emplace(Kind::StartUpDue);
    QMetaObject::invokeMethod(
        this,
        [this] {
            platform::guarded([this] { FormShow(); });
            startUpDue_.reset();
        },
        Qt::QueuedConnection);
}

void TaMain::FormShow() {
    using Kind = platform::WorkUnderWay::Kind;
    if (!FirstShow || closing_ || platform::workUnderWay(Kind::StartUp))
        return;
    const platform::WorkUnderWay work(Kind::StartUp);  // a close meanwhile waits for its end
    if (platform::workEndAwaited()) {
        // A close asked while the start-up was due waits for its end; the first window the
        // start-up waits for is closed, as the user would have to.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != this)
                    modal->close();
            },
            Qt::QueuedConnection);
    }
    startUpDue_.reset();
    // Done once, however it ends: a repeat would rescan and empty the queue.
    const kv::AtExit endOfStartUp([this] { FirstShow = false; });

    TaSetup& setup = *forms_.aSetup;
    const std::string configuration = AppDir + keys::kConfigFile;
    if (platform::files::fileExists(platform::files::Name(configuration))) {
        setup.LoadConfig();
    } else {
        setup.ShowModal();
        if (platform::files::fileExists(platform::files::Name(configuration))) {
            setup.LoadConfig();
        } else {
            platform::dialogs().showMessage("You need to setup configuration first.");
            // Takes effect back in the event loop; the rest of the start-up still runs.
            env_.endProgram();
        }
    }
    Playing = false;
    setup.ScanLocalSongs();
    if (!SongLibrary.empty())
        platform::guarded([this] { ReloadSongQueue(); });  // its box, then the rest
    else
        platform::dialogs().showMessage("There are NO AVAILABLE songs to play.");
    unsetCursor();
    TrackBar1->SetTicks({16383, 32767, 49150});
    if (LocalMode) {
        Animate1->hide();
        Animate2->show();
        TrackBar1->setValue(GetWaveVolume());
    } else {
        Animate1->show();
        Animate2->hide();
        if (!SpeedButton2->isChecked()) {
            SpeedButton2->setChecked(true);
            SpeedButton2Click();
        }
    }
    FirstShow = false;
}

void TaMain::ReloadSongQueue() {
    const std::string file = SongQueueFile();
    if (!platform::files::fileExists(platform::files::Name(file)) ||
        !forms_.aSetup->cbAutoloadsq->isChecked())
        return;
    // A file that cannot be read stays the close's to keep: what it holds is not in the queue.
    const std::string text = platform::files::readWholeFile(platform::files::Name(file));
    QueueFileOwned = true;
    TDm& dm = *forms_.Dm;
    for (const std::string& line : kv::TextLines(text)) {
        const int index = dm.FindSongByFileName(line);
        if (index >= 0)
            dm.AddSongToQue(dm.GetSongNo(index));
        else
            platform::dialogs().showMessage("Fail to load \"" + kv::Trim(line) + "\"");
    }
}

std::string TaMain::SongQueueFile() const {
    return AppDir + "songque.kvc";
}

std::string TaMain::SongQueueText(std::vector<std::string>* leftOut) const {
    std::vector<std::string> names;
    names.reserve(static_cast<size_t>(ListView1->topLevelItemCount()));
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
        names.push_back(platform::fromFileName(ListView1->topLevelItem(i)->text(kFilenameColumn)));
    return playlist::TextFor(names, leftOut);  // the same lines as a playlist's
}

bool TaMain::FormCloseQuery() {
    if (TrayIconData) {
        TrayIconData->remove();
        TrayIconData.reset();
    }
    return true;
}

void TaMain::FormClose() {
    QuickSelection.clear();
    SongLibrary.clear();
    SongFiles.clear();
    GenreIndex.clear();
    SongInfoRequests.clear();
    if (MediaPlayer1) {
        MediaPlayer1->close();
        MediaPlayer1.reset();
    }
    LocalSongOpen = false;
    WriteCloseKeys();
    if (SpeedButton4->isChecked() && LocalMode) {
        SpeedButton4->setChecked(false);
        TrackBar1->setValue(SavedVolume);
    }
    SaveSongQueue();
}

void TaMain::WriteCloseKeys() {
    const std::string file = AppDir + keys::kConfigFile;
    if (!platform::files::fileExists(platform::files::Name(file)))
        return;
    kv::Tcfg cfg = kv::Tcfg::CreateFile(file);
    cfg.SetSection(keys::kSection);
    kv::TcfgSave save(cfg, kv::TcfgSave::Base::Update);
    save.WriteBool(keys::kPlayHere, LocalMode);
    save.WriteInteger(keys::kTop, WindowTop());
    save.WriteInteger(keys::kLeft, WindowLeft());
    save.WriteInteger(keys::kMaxWidth, MaxWidth);
    save.WriteInteger(keys::kMaxHeight, MaxHeight);
    save.WriteBool(keys::kRemoveSong, cbRemoveSong->isChecked());
    save.WriteBool(keys::kPlayOnce, cbPlayListOnce->isChecked());
    save.WriteInteger(keys::kSequentialPlay, seSeqLimit->Value());
    save.WriteBool(keys::kPlayInSequence, cbSeqPlay->isChecked());
    save.WriteBool(keys::kAutoloadSongQue, forms_.aSetup->cbAutoloadsq->isChecked());
    try {
        save.Commit();
    } catch (const platform::Error&) {
        // The settings are lost, not the queue: it is still written below.
    }
}

void TaMain::SaveSongQueue() {
    const std::string file = SongQueueFile();
    if (ListView1->topLevelItemCount() == 0) {
        // A file this run neither read nor emptied the queue of (a start without songs, the
        // autoload off), or one its owner made read-only, is not this queue's to delete.
        if (QueueFileOwned && platform::files::fileExists(platform::files::Name(file)) &&
            platform::files::mayReplace(file))
            platform::files::removeFile(file);
        return;
    }
    // Replaced in one step, so a failed write keeps the last queue instead of none.
    std::vector<std::string> leftOut;
    platform::files::writeWholeFileAtomically(file, SongQueueText(&leftOut));
    if (!leftOut.empty())
        platform::dialogs().showMessage(playlist::LeftOutText(leftOut));
}

void TaMain::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    if (platform::workUnderWay()) {
        // The start-up, due or under way, and a scan let events in; the close comes once they
        // are done (a close before the start-up has reloaded the queue would lose the saved
        // queue). A window they wait for meanwhile is closed first, as the user would have to.
        event->ignore();
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != this)
            modal->close();
        platform::qt::whenWorkEnds(*this, [this] { close(); });
        return;
    }
    platform::guarded([this] { FormCloseQuery(); });
    platform::guarded([this] { FormClose(); });
    closing_ = true;
    event->accept();
    env_.endProgram();
}

void TaMain::AddTrayIcon() {
    if (env_.makeTrayIcon)
        TrayIconData = env_.makeTrayIcon(this);
    if (TrayIconData) {
        TrayIconData->add(windowIcon(), " Sonpad II ", PopupMenu2);
        return;
    }
    // Without a notification area a hidden window could never be shown again.
    Hide1->setEnabled(false);
    Hide1->setVisible(false);
}

void TaMain::Hide1Click() {
    if (!TrayIconData)
        return;
    Hide1->setEnabled(false);
    Show1->setEnabled(true);
    hide();
    // What waits meanwhile (the start-up, the window system's part of the hide) runs before the
    // menu's command returns; the user's input waits, or is dropped during long work.
    platform::qt::letNonInputEventsIn();
}

void TaMain::Show1Click() {
    Show1->setEnabled(false);
    Hide1->setEnabled(TrayIconData != nullptr);
    show();
    raise();
    activateWindow();
    platform::qt::letNonInputEventsIn();  // as for Hide
}

void TaMain::Exit1Click() {
    close();
}

}  // namespace sonpad
