// The local player: a queue entry played here, and the 1-second tick that follows it.
#include <QTreeWidget>

#include "client/main_window.h"
#include "client/song_sel_window.h"
#include "common/checked_file_size.h"
#include "common/song_record.h"
#include "common/text_helpers.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/qt/tick_timer.h"

namespace sonpad {

bool TaMain::PlayLocalSong(const std::string& songNo) {
    SongInfo info;
    if (!forms_.aSongSel->GetSongInfo(songNo, info))
        return false;
    try {
        const std::int32_t size = kv::GetCheckedFileSize(info.songFile);
        if (!MediaPlayer1)
            throw platform::Error("No player.");
        MediaPlayer1->close();
        // Looked for once more right before it opens: a song whose file vanished is passed
        // over, never played from another file whose name differs only in case.
        if (!platform::files::fileExists(info.songFile))
            throw platform::Error("Cannot locate file");
        MediaPlayer1->setFileName(info.songFile);
        MediaPlayer1->open();
        MediaPlayer1->play();
        LocalSongOpen = true;
        const std::int32_t length = MediaPlayer1->length();
        const std::int32_t position = MediaPlayer1->position();
        SetProgressBar(length, position);
        CurrentSongId = songNo;
        CurrentLength = length;
        CurrentPosition = position;
        CurrentTitle = info.title;
        CurrentArtist = info.artist;
        CurrentAlbum = info.album;
        CurrentGenre = info.genre;
        CurrentYear = info.year;
        CurrentComment = info.comment;
        CurrentPath = kv::ExtractFilePath(info.filePath);
        CurrentFileName = kv::ExtractFileName(info.filePath);
        CurrentFileSize = size;
        return true;
    } catch (const std::exception&) {
        // A song that cannot be played is passed over without a word.
        LocalSongOpen = false;
        for (std::string* text :
             {&CurrentSongId, &CurrentTitle, &CurrentArtist, &CurrentAlbum, &CurrentGenre,
              &CurrentYear, &CurrentComment, &CurrentPath, &CurrentFileName})
            text->clear();
        CurrentLength = 0;
        CurrentPosition = 0;
        CurrentFileSize = 0;
        ClearNowPlaying();
        return false;
    }
}

// An error escaping a tick (a lost connection) ends it with the timer off, until a connect or
// PLAY starts it again; a reply that cannot be read does not escape it.
void TaMain::Timer1Timer() {
    Timer1->SetEnabled(false);
    if (LocalMode)
        LocalPlayerTick();
    else
        ClientTick();
    Timer1->SetEnabled(true);
}

void TaMain::LocalPlayerTick() {
    if (!Playing) {
        SetProgressBar(progressMaximum_, 0);
        return;
    }
    if (LocalSongOpen && MediaPlayer1) {
        const std::int32_t position = MediaPlayer1->position();
        SetProgressBar(progressMaximum_, position);
        CurrentPosition = position;
        const std::int32_t length = MediaPlayer1->length();
        RemainingText = "-" + kv::MsToMinSec(length - position);
        PercentText = PercentTextOf(position, length);
        ShowNowPlaying();
        if (MediaPlayer1->position() >= MediaPlayer1->length()) {
            ClearNowPlaying();
            MediaPlayer1->close();
            LocalSongOpen = false;
        }
    }
    if (!LocalSongOpen) {
        SetProgressBar(progressMaximum_, 0);
        if (ListView1->topLevelItemCount() >= 1)
            PlayNextFromQueue();
        else
            SetPlayState("STOP");
    }
}

}  // namespace sonpad
