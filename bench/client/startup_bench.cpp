// Times the client program from its process start to the main window shown with the scan
// and the queue reload done, over a library of tagged songs; then its resident memory, and
// the share of a core it takes while it sits idle in Local Player Mode.
//   client_startup_bench [files] [folders] [idle seconds]   (default 20000, 40, 10)
// It makes the program folder, then runs the program in a fresh process of its own (itself,
// started again), so the time counts from that process's start.
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "bench/client/bench_program.h"
#include "bench/support/scan_tree.h"
#include "client/main_window.h"
#include "client/program_block.h"
#include "common/text_helpers.h"
#include "platform/dialogs.h"
#include "platform/qt/qt_dialogs.h"

namespace {

double secondsSinceBoot() {
    timespec t{};
    clock_gettime(CLOCK_BOOTTIME, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// When this process started, in seconds since boot (clock-tick resolution).
double processStart() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 22; ++i)
        fields >> field;  // field 22: start time in clock ticks
    return std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

int runProgram(int argc, char** argv, const std::string& folder, int idleSeconds) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::QtDialogs dialogs;
    platform::setDialogs(&dialogs);
    sonpad::ClientEnvironment env = sonpad::StandardEnvironment();
    env.programFolder = folder;
    env.endProgram = [] {};
    double readySeconds = 0, cpuAtReady = 0, idleShare = 0;
    long readyKb = 0;
    size_t songs = 0;
    int queued = 0;
    {
        sonpad::ProgramBlock program(env);
        sonpad::TaMain& main = *program.forms().aMain;
        program.Show();
        QTimer watch;
        watch.setInterval(1);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (main.FirstShow)
                return;
            watch.stop();
            readySeconds = secondsSinceBoot() - processStart();
            readyKb = bench::ResidentKb();
            songs = main.SongLibrary.size();
            queued = main.ListView1->topLevelItemCount();
            cpuAtReady = cpuSeconds();
            QTimer::singleShot(idleSeconds * 1000, [&] {
                idleShare = (cpuSeconds() - cpuAtReady) / idleSeconds;
                app.quit();
            });
        });
        watch.start();
        app.exec();
        main.close();
    }
    platform::setDialogs(nullptr);
    std::printf("songs %zu, queue reloaded %d rows\n", songs, queued);
    std::printf("process start to window shown, scan and reload done: %.2f s (goal <= 3 s)\n",
                readySeconds);
    std::printf("resident memory then: %.1f MB (goal <= 150 MB)\n", readyKb / 1024.0);
    std::printf("idle in Local Player Mode for %d s: %.3f %% of a core (goal < 0.5 %%)\n",
                idleSeconds, idleShare * 100);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--run")
        return runProgram(argc, argv, argv[2], std::atoi(argv[3]));
    const int files = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int folders = argc > 2 ? std::atoi(argv[2]) : 40;
    const int idleSeconds = argc > 3 ? std::atoi(argv[3]) : 10;

    const std::string root = client_bench::MakeTempFolder("sonh-client-startup-bench");
    if (root.empty())
        return 1;
    std::printf("Generating %d tagged files in %d folders under %s ...\n", files, folders,
                root.c_str());
    bench::MakeSongTree(root, files, folders);
    std::ofstream config(root + "sonpad2.kvc", std::ios::binary);
    config << "[SONPAD]\r\nPLAY HERE=YES\r\nAUTOLOAD SONG QUE=YES\r\nDIRECTORIES=" << folders
           << "\r\n";
    for (int f = 0; f < folders; ++f)
        config << "MP3 PATH" << f + 1 << "=" << kv::UpperCase(root) << "FOLDER" << f << "/\r\n";
    config.close();
    // A saved queue of every tenth song.
    std::ofstream queue(root + "songque.kvc", std::ios::binary);
    for (int i = 0; i < files; i += 10)
        queue << "SONG" << i << ".MP3\r\n";
    queue.close();
    bench::PlainTagLoop(root, folders);  // a warm cache, as on a machine in use
    std::fflush(stdout);

    const std::string idle = std::to_string(idleSeconds);
    for (int run = 0; run < 3; ++run) {
        const pid_t child = fork();
        if (child == 0) {
            execl("/proc/self/exe", argv[0], "--run", root.c_str(), idle.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        waitpid(child, &status, 0);
    }
    std::filesystem::remove_all(root);
    return 0;
}
