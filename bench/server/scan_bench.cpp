// Times the library scan against a plain loop over the same files, the start-up scan (into an
// empty library) against a rescan, and the memory the loaded library takes.
//   scan_bench [files] [folders] [listings]
// (default 20000 files in 40 folders, each folder listed once). A large collection keeps a
// folder entry per album: for example 500000 1000 3 gives 3000 entries, scanned up to the
// song number limit.
#include <QApplication>
#include <QListWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/support/scan_tree.h"
#include "platform/files.h"
#include "server/main_window.h"
#include "server/program_block.h"
#include "server/setup_window.h"

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int folders = argc > 2 ? std::atoi(argv[2]) : 40;
    const int listings = argc > 3 ? std::max(1, std::atoi(argv[3])) : 1;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const std::string root = bench::MakeSongTreeInTemp("scan-bench", files, folders);
    if (root.empty())
        return 1;

    sonhall::ServerEnvironment env = sonhall::StandardEnvironment();
    env.realTimers = false;
    env.endProgram = [] {};
    const long rssBefore = bench::ResidentKb();
    const std::vector<std::string> lines = bench::FolderLines(root, folders);
    double startUpMs = 1e300, scanMs = 0, plainMs = 0;
    size_t songs = 0, tags = 0;
    long rssLoaded = 0;
    const auto listFolders = [&](sonhall::TaSetup& setup) {
        for (int l = 0; l < listings; ++l)
            for (const std::string& line : lines)
                setup.ListBox1->addItem(QString::fromStdString(line));
    };

    tags = bench::PlainTagLoop(root, folders);  // warms the file system's caches for all
    plainMs = bench::BestMs(3, [&] { tags = bench::PlainTagLoop(root, folders); });
    // The start-up scan fills a library that holds nothing yet; each run a program of its own.
    for (int run = 0; run < 2; ++run) {
        sonhall::ProgramBlock program(env);
        listFolders(*program.forms().aSetup);
        startUpMs =
            std::min(startUpMs, bench::BestMs(1, [&] { program.forms().aSetup->ReadSongs(); }));
    }
    {
        sonhall::ProgramBlock program(env);
        sonhall::TaSetup& setup = *program.forms().aSetup;
        listFolders(setup);
        setup.ReadSongs();
        scanMs = bench::BestMs(2, [&] { setup.ReadSongs(); });
        songs = program.forms().aMain->SongLibrary.size();
        rssLoaded = bench::ResidentKb();
    }
    std::filesystem::remove_all(root);
    // The plain loop over the files the scan read (it stops at the song number limit).
    if (tags > 0)
        plainMs *= static_cast<double>(songs) / static_cast<double>(tags);

    std::printf("folder entries:     %d (%d folders, each listed %d times)\n", folders * listings,
                folders, listings);
    std::printf("files scanned:      %zu (plain loop found %zu tags in one listing)\n", songs,
                tags);
    std::printf("start-up scan:      %8.1f ms\n", startUpMs);
    std::printf("rescan:             %8.1f ms   (start-up / rescan: %.2f; goal: within a few %%)\n",
                scanMs, startUpMs / scanMs);
    std::printf("plain loop:         %8.1f ms   (over as many files)\n", plainMs);
    std::printf("ratio:              %8.2f x   rescan / plain loop (goal: within 3 x)\n",
                scanMs / plainMs);
    std::printf(
        "resident memory:    %8.1f MB with the songs loaded (%.1f MB before the forms;"
        " goal: under 60 MB)\n",
        rssLoaded / 1024.0, rssBefore / 1024.0);
    return 0;
}
