// Times the choice of the next song on a queue of 10,000 entries, random choice with its real
// pauses, the entry kept or removed after it was chosen.
//   client_queue_bench [entries] [calls]     (default 10000 entries, 200 calls)
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QTreeWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>

#include "bench/client/bench_program.h"
#include "client/data_module.h"
#include "client/main_window.h"
#include "client/program_block.h"
#include "common/song_record.h"
#include "platform/dialogs.h"

namespace {

struct Figures {
    double meanMs = 0;
    double maxMs = 0;
    double ownMeanMs = 0;  // without the time spent in the pauses
    double ownMaxMs = 0;
};

double pausedMs = 0;  // what the pauses really took, overshoot included

double MsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Submitting, as in client mode without a connection: the queue's own work and the pauses.
Figures TimeCalls(sonpad::TaMain& main, int calls) {
    Figures f;
    for (int i = 0; i < calls; ++i) {
        pausedMs = 0;
        const auto start = std::chrono::steady_clock::now();
        main.PlayNextFromQueue();
        const double ms = MsSince(start);
        f.meanMs += ms / calls;
        f.maxMs = std::max(f.maxMs, ms);
        f.ownMeanMs += (ms - pausedMs) / calls;
        f.ownMaxMs = std::max(f.ownMaxMs, ms - pausedMs);
    }
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    const int entries = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int calls = argc > 2 ? std::atoi(argv[2]) : 200;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const std::string root = client_bench::MakeTempFolder("sonh-queue-bench");
    if (root.empty())
        return 1;
    platform::UnattendedDialogs dialogs(false);
    platform::setDialogs(&dialogs);

    sonpad::ClientEnvironment env = client_bench::BenchEnvironment(root);
    env.pause = [](int ms) {
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        pausedMs += MsSince(start);
    };
    Figures kept, removed;
    {
        sonpad::ProgramBlock program(env);
        sonpad::TaMain& main = *program.forms().aMain;
        sonpad::TDm& dm = *program.forms().Dm;
        for (int i = 1; i <= entries; ++i) {
            kv::SongFields f;
            f.title = "Title of song " + std::to_string(i);
            f.artist = "Artist " + std::to_string(i % 300);
            f.path = "/MUSIC/SONG" + std::to_string(i) + ".MP3";
            main.SongLibrary.push_back(kv::BuildSongRecord(i, f));
        }
        for (int i = 0; i < entries; ++i)
            dm.AddSongToQue(dm.GetSongNo(i));
        main.LocalMode = false;
        kept = TimeCalls(main, calls);
        main.cbRemoveSong->setChecked(true);
        removed = TimeCalls(main, calls);
    }
    platform::setDialogs(nullptr);
    std::filesystem::remove_all(root);

    std::printf("queue of %d entries, %d random choices each\n", entries, calls);
    for (const auto& [what, f] : {std::pair{"entry kept:   ", kept}, {"entry removed:", removed}})
        std::printf(
            "%s  mean %6.2f ms, max %6.2f ms   (goal: under 15 ms); without the pauses: "
            "mean %5.2f ms, max %5.2f ms\n",
            what, f.meanMs, f.maxMs, f.ownMeanMs, f.ownMaxMs);
    return 0;
}
