// Times Load List in the song selection window: a playlist of 5,000 lines into my Selection
// against a library of 20,000 songs, with the window shown; and Save List of those rows.
//   client_playlist_bench [lines] [songs]     (default 5000 lines, 20000 songs)
#include <unistd.h>

#include <QApplication>
#include <QTreeWidget>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/client/bench_program.h"
#include "bench/support/scan_tree.h"
#include "client/data_module.h"
#include "client/main_window.h"
#include "client/program_block.h"
#include "client/song_sel_window.h"
#include "common/song_record.h"
#include "platform/dialogs.h"
#include "platform/files.h"

namespace {

// Answers the file choosers with one path; every other box as the unattended ones do.
class PathDialogs : public platform::UnattendedDialogs {
  public:
    explicit PathDialogs(std::string path) : UnattendedDialogs(false), path_(std::move(path)) {}
    int messages = 0;
    void showMessage(std::string_view) override { ++messages; }

  protected:
    std::optional<std::string> askOpenFile(const platform::FileDialogOptions&) override {
        return path_;
    }
    std::optional<std::string> askSaveFile(const platform::FileDialogOptions&) override {
        return path_ + ".SAVED";
    }

  private:
    std::string path_;
};

}  // namespace

int main(int argc, char** argv) {
    const int lines = argc > 1 ? std::atoi(argv[1]) : 5000;
    const int songs = argc > 2 ? std::atoi(argv[2]) : 20000;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const std::string root = client_bench::MakeTempFolder("sonh-playlist-bench");
    if (root.empty())
        return 1;
    const std::string playlist = root + "BENCH.PLY";
    PathDialogs dialogs(playlist);
    platform::setDialogs(&dialogs);

    sonpad::ClientEnvironment env = client_bench::BenchEnvironment(root);
    double loadMs = 0, saveMs = 0;
    int rows = 0;
    {
        sonpad::ProgramBlock program(env);
        sonpad::TaMain& main = *program.forms().aMain;
        sonpad::TaSongSel& songSel = *program.forms().aSongSel;
        for (int i = 1; i <= songs; ++i) {
            kv::SongFields f;
            f.title = "Title of song " + std::to_string(i);
            f.artist = "Artist " + std::to_string(i % 300);
            f.path =
                "/MUSIC/FOLDER" + std::to_string(i % 40) + "/SONG" + std::to_string(i) + ".MP3";
            main.SongLibrary.push_back(kv::BuildSongRecord(i, f));
        }
        // The scan keeps the look-up index; build it before timing, as after a scan.
        program.forms().Dm->FindSongByNo("000001");

        // Spread over the library, the last lines near its end.
        std::string text;
        for (int i = 0; i < lines; ++i)
            text += "song" +
                    std::to_string(1 + static_cast<long>(i) * songs / lines + (songs / lines - 1)) +
                    ".mp3\r\n";
        platform::files::writeWholeFileAtomically(playlist, text);

        songSel.show();
        app.processEvents();
        loadMs = bench::BestMs(3, [&] {
            dialogs.messages = 0;
            songSel.ListView1->clear();
            songSel.UpdateListButtons();
            songSel.btnLoadClick();
        });
        rows = songSel.ListView1->topLevelItemCount();
        saveMs = bench::BestMs(3, [&] { songSel.btnSaveClick(); });
    }
    platform::setDialogs(nullptr);
    std::filesystem::remove_all(root);

    std::printf("rows loaded:      %d of %d lines (%d not found), library of %d songs\n", rows,
                lines, dialogs.messages, songs);
    std::printf("Load List:        %8.1f ms   (goal: under 1000 ms)\n", loadMs);
    std::printf("Save List:        %8.1f ms\n", saveMs);
    return 0;
}
