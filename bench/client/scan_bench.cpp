// Times the client's local scan, with every row in the library list and the genre index
// sorted, against a plain loop over the same files; and the memory the loaded library takes.
//   client_scan_bench [files] [folders]     (default 20000 files in 40 folders)
#include <QApplication>
#include <QListWidget>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/client/bench_program.h"
#include "bench/support/scan_tree.h"
#include "client/main_window.h"
#include "client/program_block.h"
#include "client/setup_window.h"
#include "platform/dialogs.h"

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int folders = argc > 2 ? std::atoi(argv[2]) : 40;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::UnattendedDialogs dialogs;
    platform::setDialogs(&dialogs);

    const std::string root = bench::MakeSongTreeInTemp("client-scan-bench", files, folders);
    if (root.empty())
        return 1;

    sonpad::ClientEnvironment env = client_bench::BenchEnvironment(root);
    const long rssBefore = bench::ResidentKb();
    double scanMs = 0, plainMs = 0;
    size_t songs = 0, tags = 0, genreLines = 0;
    int rows = 0;
    long rssLoaded = 0;
    {
        sonpad::ProgramBlock program(env);
        sonpad::TaSetup& setup = *program.forms().aSetup;
        sonpad::TaMain& main = *program.forms().aMain;
        for (const std::string& line : bench::FolderLines(root, folders))
            setup.ListBox1->addItem(QString::fromStdString(line));

        tags = bench::PlainTagLoop(root, folders);  // warms the file system's caches for both
        // Taken in turns, so that a busy moment of the machine weighs on both alike.
        plainMs = scanMs = 1e300;
        for (int run = 0; run < 7; ++run) {
            plainMs = std::min(
                plainMs, bench::BestMs(1, [&] { tags = bench::PlainTagLoop(root, folders); }));
            scanMs = std::min(scanMs, bench::BestMs(1, [&] { setup.ScanLocalSongs(); }));
        }
        songs = main.SongLibrary.size();
        rows = main.ListView2->topLevelItemCount();
        genreLines = main.GenreIndex.size();
        rssLoaded = bench::ResidentKb();
    }
    platform::setDialogs(nullptr);
    std::filesystem::remove_all(root);

    std::printf("files scanned:        %zu (plain loop found %zu tags)\n", songs, tags);
    std::printf("rows in ListView2:    %d, genre index lines: %zu\n", rows, genreLines);
    std::printf("TaSetup.ScanLocalSongs: %8.1f ms\n", scanMs);
    std::printf("plain loop:             %8.1f ms\n", plainMs);
    std::printf("ratio:                  %8.2f x   (goal: within 5 x)\n", scanMs / plainMs);
    std::printf(
        "resident memory:        %8.1f MB with the library loaded (%.1f MB before the"
        " forms; goal: at most 120 MB)\n",
        rssLoaded / 1024.0, rssBefore / 1024.0);
    return 0;
}
