// Times the song selection tree over a large library: the base tree, each branch, and a title
// search that runs to the last song.
//   client_song_tree_bench [songs] [artists] [albums]   (default 20000, 2000, 3000)
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTreeWidget>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/client/bench_program.h"
#include "bench/support/scan_tree.h"
#include "client/genre_names.h"
#include "client/main_window.h"
#include "client/program_block.h"
#include "client/song_sel_window.h"
#include "common/song_record.h"
#include "platform/dialogs.h"
#include "platform/qt/text_edge.h"

int main(int argc, char** argv) {
    const int songs = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int artists = argc > 2 ? std::atoi(argv[2]) : 2000;
    const int albums = argc > 3 ? std::atoi(argv[3]) : 3000;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const std::string root = client_bench::MakeTempFolder("sonh-tree-bench");
    if (root.empty())
        return 1;
    platform::UnattendedDialogs dialogs(false);
    platform::setDialogs(&dialogs);

    sonpad::ClientEnvironment env = client_bench::BenchEnvironment(root);
    double baseMs = 0, artistsMs = 0, genreMs = 0, albumMs = 0, searchMs = 0;
    int groups[3] = {};
    bool found = false;
    {
        sonpad::ProgramBlock program(env);
        sonpad::TaMain& main = *program.forms().aMain;
        sonpad::TaSongSel& sel = *program.forms().aSongSel;
        for (int i = 1; i <= songs; ++i) {
            kv::SongFields f;
            f.title = "Title " + std::to_string((i * 7919) % songs);
            // Each album belongs to one artist.
            const int album = i % albums;
            f.album = "Album " + std::to_string(album);
            f.artist = "Artist " + std::to_string(album % artists);
            f.genre = std::to_string(i % 40);
            f.path = "/MUSIC/SONG" + std::to_string(i) + ".MP3";
            main.SongLibrary.push_back(kv::BuildSongRecord(i, f));
        }
        for (int g = 0; g < 40; ++g)
            main.ComboBox1->addItem(
                platform::latin1(sonpad::GenreName(static_cast<std::uint8_t>(g))));

        // The base tree is built once the shown window is on the screen.
        sel.show();
        baseMs = bench::BestMs(3, [&] {
            sel.ClearTree();
            sel.FormActivate();
            while (sel.TreeView1->topLevelItemCount() == 0)
                app.processEvents();
        });
        artistsMs = bench::BestMs(1, [&] { sel.btnArtistsClick(); });
        genreMs = bench::BestMs(1, [&] { sel.btnGenreClick(); });
        albumMs = bench::BestMs(1, [&] { sel.btnAlbumClick(); });
        groups[0] = sel.ArtistsNode->childCount();
        groups[1] = sel.GenreNode->childCount();
        groups[2] = sel.AlbumNode->childCount();

        const QTreeWidgetItem* last = sel.AllSongsNode->child(sel.AllSongsNode->childCount() - 1);
        sel.RadioButton1->setChecked(true);
        sel.Edit9->setText(last->text(0).mid(7).trimmed());
        searchMs = bench::BestMs(5, [&] { sel.btnGoClick(); });
        found = sel.FoundNode == last;
    }
    platform::setDialogs(nullptr);
    std::filesystem::remove_all(root);

    std::printf("library:          %d songs, %d artist groups, %d genre groups, %d albums\n", songs,
                groups[0], groups[1], groups[2]);
    std::printf("base tree:        %8.1f ms   (goal: under 500 ms)\n", baseMs);
    std::printf("Artists branch:   %8.1f ms   (goal: under 1000 ms)\n", artistsMs);
    std::printf("Genre branch:     %8.1f ms   (goal: under 1000 ms)\n", genreMs);
    std::printf("Album branch:     %8.1f ms   (goal: under 1000 ms)\n", albumMs);
    std::printf("title search:     %8.1f ms   to the last song%s (goal: under 50 ms)\n", searchMs,
                found ? "" : " NOT FOUND");
    return 0;
}
