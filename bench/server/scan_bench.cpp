// Times the library scan against a plain loop over the same files, and the memory the
// loaded library takes.
//   scan_bench [files] [folders]     (default 20000 files in 40 folders)
#include <QApplication>
#include <QListWidget>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/support/scan_tree.h"
#include "platform/files.h"
#include "server/main_window.h"
#include "server/program_block.h"
#include "server/setup_window.h"

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int folders = argc > 2 ? std::atoi(argv[2]) : 40;
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
    double scanMs = 0, plainMs = 0;
    size_t songs = 0, tags = 0;
    long rssLoaded = 0;
    {
        sonhall::ProgramBlock program(env);
        sonhall::TaSetup& setup = *program.forms().aSetup;
        for (const std::string& line : bench::FolderLines(root, folders))
            setup.ListBox1->addItem(QString::fromStdString(line));

        tags = bench::PlainTagLoop(root, folders);  // warms the file system's caches for both
        plainMs = bench::BestMs(3, [&] { tags = bench::PlainTagLoop(root, folders); });
        scanMs = bench::BestMs(3, [&] { setup.ReadSongs(); });
        songs = program.forms().aMain->SongLibrary.size();
        rssLoaded = bench::ResidentKb();
    }
    std::filesystem::remove_all(root);

    std::printf("files scanned:      %zu (plain loop found %zu tags)\n", songs, tags);
    std::printf("TaSetup.ReadSongs:  %8.1f ms\n", scanMs);
    std::printf("plain loop:         %8.1f ms\n", plainMs);
    std::printf("ratio:              %8.2f x   (goal: within 3 x)\n", scanMs / plainMs);
    std::printf(
        "resident memory:    %8.1f MB with the songs loaded (%.1f MB before the forms;"
        " goal: under 60 MB)\n",
        rssLoaded / 1024.0, rssBefore / 1024.0);
    return 0;
}
