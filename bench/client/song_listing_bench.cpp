// Times the song listing's load of a song library list file of 20,000 rows (nine lines each)
// with the window shown, a column sort of the loaded rows, and the memory they take.
//   client_song_listing_bench [rows]     (default 20000)
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QTreeWidget>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/client/bench_program.h"
#include "bench/support/scan_tree.h"
#include "client/program_block.h"
#include "client/setup_window.h"
#include "client/windows/all_songs_window.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/qt/text_edge.h"

int main(int argc, char** argv) {
    const int rows = argc > 1 ? std::atoi(argv[1]) : 20000;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const std::string root = client_bench::MakeTempFolder("sonh-listing-bench");
    if (root.empty())
        return 1;
    platform::UnattendedDialogs dialogs(false);
    platform::setDialogs(&dialogs);

    std::string text;
    for (int i = 1; i <= rows; ++i) {
        const std::string n = std::to_string(i);
        text += std::string(6 - std::min<size_t>(6, n.size()), '0') + n + "\r\n";
        text += "@Title of song " + n + "\r\n@Artist " + std::to_string(i % 2000) + "\r\n@Album " +
                std::to_string(i % 3000) + "\r\n@Rock\r\n@1999\r\n@" + std::to_string(i % 17) +
                "\r\n@A comment\r\n@C:\\MUSIC\\FOLDER" + std::to_string(i % 40) + "\\SONG" + n +
                ".MP3\r\n";
    }
    platform::files::writeWholeFileAtomically(root + "SONGLIB.LST", text);

    sonpad::ClientEnvironment env = client_bench::BenchEnvironment(root);
    double loadMs = 0, sortMs = 0;
    int loaded = 0;
    long beforeKb = 0, afterKb = 0;
    {
        sonpad::ProgramBlock program(env);
        program.forms().aSetup->Edit2->setText(platform::fileName(root));
        sonpad::TaAllSongs& window = *program.forms().aAllSongs;
        window.show();
        app.processEvents();
        beforeKb = bench::ResidentKb();
        loadMs = bench::BestMs(3, [&] {
            window.ListView1DblClick();
            app.processEvents();  // the list's first paint
        });
        afterKb = bench::ResidentKb();
        loaded = window.ListView1->topLevelItemCount();
        sortMs = bench::BestMs(3, [&] {
            window.ListView1ColumnClick(2);
            window.ListView1ColumnClick(1);
            app.processEvents();
        });
    }
    platform::setDialogs(nullptr);
    std::filesystem::remove_all(root);

    std::printf("rows loaded:      %d (%zu bytes, %d lines)\n", loaded, text.size(), 9 * rows);
    std::printf("load:             %8.1f ms   (goal: under 1000 ms)\n", loadMs);
    std::printf("two column sorts: %8.1f ms\n", sortMs);
    std::printf("memory of rows:   %8ld KB\n", afterKb - beforeKb);
    return 0;
}
