// my Selection's files: saving and loading playlists, copying the songs to another folder.
#include <QTreeWidget>

#include "client/copy_job.h"
#include "client/data_module.h"
#include "client/playlist_file.h"
#include "client/song_sel_window.h"
#include "client/windows/copy_file_window.h"
#include "common/at_exit.h"
#include "common/message_dialogs.h"
#include "common/song_record.h"
#include "common/text_helpers.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/qt/non_input_events.h"
#include "platform/qt/text_edge.h"
#include "platform/widgets/gauge.h"

namespace sonpad {
namespace {

constexpr int kPathColumn = 3, kFileNameColumn = 4;

// The folder browser starts at the root of the program's drive: here the one root.
const char* const kBrowseRoot = "/";

platform::FileDialogOptions PlaylistDialog(const char* caption, const std::string& folder,
                                           const std::string& fileName) {
    platform::FileDialogOptions options;
    options.caption = caption;
    // The folder is stored in upper case; a chooser given a name the disk does not hold
    // would open somewhere else.
    options.folder = platform::files::resolve(platform::files::Name(folder));
    options.filter = "Playlists (*.PLY);;All Files (*.*)";
    options.defaultExtension = "PLY";
    options.fileName = fileName;
    return options;
}

std::string Cell(const QTreeWidgetItem* row, int column) {
    return platform::fromFileName(row->text(column));
}

}  // namespace

void TaSongSel::btnSaveClick() {
    const auto chosen = platform::dialogs().saveFile(
        PlaylistDialog("Save As", SaveDialogFolder, SaveDialogFileName));
    if (!chosen)
        return;
    SaveDialogFileName = *chosen;
    std::vector<std::string> names;
    names.reserve(static_cast<size_t>(ListView1->topLevelItemCount()));
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
        names.push_back(Cell(ListView1->topLevelItem(i), kFileNameColumn));
    // A failed write raises before anything here changes.
    const std::vector<std::string> leftOut = playlist::Write(*chosen, names);
    SetPlaylistName(kv::UpperCase(kv::ExtractFileName(*chosen)));
    UpdateSelectionCaption();
    UpdateListButtons();
    forms_.Dm->RefreshPlaylistCombo();
    if (!leftOut.empty())
        platform::dialogs().showMessage(playlist::LeftOutText(leftOut));
}

void TaSongSel::btnLoadClick() {
    const auto chosen =
        platform::dialogs().openFile(PlaylistDialog("Open", OpenDialogFolder, OpenDialogFileName));
    if (!chosen)
        return;
    OpenDialogFileName = *chosen;
    SaveDialogFileName = *chosen;
    SetPlaylistName(kv::UpperCase(kv::ExtractFileName(*chosen)));
    ListView1->clear();
    // The caption and buttons follow the list also when the file cannot be read.
    const kv::AtExit refresh([this] {
        loadingPlaylist_ = false;
        UpdateSelectionCaption();
        UpdateListButtons();
    });
    loadingPlaylist_ = true;
    const TDm& dm = *forms_.Dm;
    for (const std::string& name : playlist::ReadEntries(*chosen)) {
        const int index = dm.FindSongByListEntry(name);
        if (index < 0)
            platform::dialogs().showMessage("Song \"" + kv::Trim(name) + "\" not loaded!");
        else
            AddToSelection(dm.GetSongNo(index));
    }
}

void TaSongSel::Copysongstoanotherlocation1Click() {
    const int n = ListView1->topLevelItemCount();
    if (n == 0)
        return;
    auto chosen =
        platform::dialogs().browseForFolder("Where do you want to save the files?", kBrowseRoot);
    if (!chosen)
        return;
    std::string folder = *chosen;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    if (!kv::ConfirmDlg("Copy " + std::to_string(n) + " songs to \"" + folder +
                        (folder == "/" ? "" : "/") + "\". Are you sure?"))
        return;

    std::vector<SongFile> songs;
    songs.reserve(static_cast<size_t>(n));
    const TDm& dm = *forms_.Dm;
    for (int i = 0; i < n; ++i) {
        const QTreeWidgetItem* row = ListView1->topLevelItem(i);
        SongFile song{Cell(row, kPathColumn), Cell(row, kFileNameColumn), {}};
        // The row's own file, not the first whose name differs only in case; a song the
        // library no longer holds is copied by its path.
        if (const int index = SelectionRowSong(row); index >= 0)
            song.source = dm.GetSongFile(index);
        songs.push_back(std::move(song));
    }
    if (folder == "/")
        folder.clear();

    const platform::qt::LongWork work;
    TaCopyFile& window = *forms_.aCopyFile;
    window.setWindowTitle(QString());
    window.Gauge1->SetMaxValue(n);
    window.Gauge1->SetProgress(0);
    window.ShowAbove(this);
    CopyOutcome outcome;
    {
        const kv::AtExit closeWindow([&window] { window.close(); });
        // The window is drawn before a copy that may take long, and stays drawn meanwhile;
        // clicks and keys are dropped.
        platform::qt::waitUntilDrawn(window);
        platform::qt::NonInputEventPacer pacer(env_.progressIntervalMs);
        outcome = CopySongFiles(
            songs, folder,
            [&window, &pacer](size_t, const SongFile& song) {
                window.setWindowTitle(platform::fileName("Copy " + kv::Trim(song.fileName)));
                pacer.letInWhenDue();
            },
            [&window](size_t i) { window.Gauge1->SetProgress(static_cast<int>(i) + 1); });
    }
    const std::string failures = CopyFailureText(outcome);
    if (!failures.empty())
        kv::ShowErrorDlg(failures);
}

}  // namespace sonpad
