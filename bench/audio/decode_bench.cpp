// Decode benchmark: the CPU time of rendering a 3-minute MP3 through the audio engine against
// `mpg123 -o test` on the same file, and the CPU share of one song playing in real time.
// Usage: audio_decode_bench [--silent] [seconds of real-time play, default 10]

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>

#include "platform/audio/audio_engine.h"
#include "platform/errors.h"

namespace {

using platform::audio::AudioEngine;
using platform::audio::PlayerMode;

constexpr int kRuns = 3;

double cpuSeconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double seconds(const timeval& t) {
    return double(t.tv_sec) + double(t.tv_usec) / 1e6;
}

bool run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

struct RenderTimes {
    double open = 0, total = 0;
};

RenderTimes renderThroughEngine(const std::string& file) {
    AudioEngine engine{platform::audio::RenderOptions{false, ""}};
    auto player = engine.createPlayer();
    player->setFileName(platform::files::Name(file));
    const double start = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    player->open();
    const double opened = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    player->play();
    while (player->mode() == PlayerMode::Playing)
        engine.renderFrames(44100);
    const double done = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    return {opened - start, done - start};
}

// CPU time (user + system) of one `mpg123 -q -o test` run.
double mpg123Seconds(const std::string& file) {
    const pid_t child = fork();
    if (child == 0) {
        execlp("mpg123", "mpg123", "-q", "-o", "test", file.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return -1;
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

int main(int argc, char** argv) {
    bool silent = false;
    int playSeconds = 10;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--silent")
            silent = true;
        else
            playSeconds = std::max(1, std::atoi(argv[i]));
    }

    const std::string file = "/tmp/sonh_bench_3min_" + std::to_string(getpid()) + ".mp3";
    std::printf("Making a 3-minute MP3 (sox + lame, 192 kbit/s) in %s ...\n", file.c_str());
    if (!run("sox -n -r 44100 -c 2 -b 16 -t wav - synth 180 sine 330 pinknoise vol 0.3 "
             "2>/dev/null | lame --quiet -b 192 - " +
             file)) {
        std::fprintf(stderr, "sox or lame failed (scripts/install-deps installs them)\n");
        return 1;
    }

    int rc = 0;
    try {
        RenderTimes engineBest{1e9, 1e9};
        double mpg123Best = 1e9;
        for (int r = 0; r < kRuns; ++r) {
            const RenderTimes t = renderThroughEngine(file);
            engineBest.open = std::min(engineBest.open, t.open);
            engineBest.total = std::min(engineBest.total, t.total);
            const double m = mpg123Seconds(file);
            if (m < 0)
                throw platform::Error("mpg123 -o test failed (is mpg123 installed?)");
            mpg123Best = std::min(mpg123Best, m);
        }
        std::printf("\nRendering 180 s of audio (best of %d runs, CPU time):\n", kRuns);
        std::printf("  engine (open and scan %.3f s included)  %.3f s\n", engineBest.open,
                    engineBest.total);
        std::printf("  mpg123 -o test                         %.3f s\n", mpg123Best);
        std::printf("  ratio engine / mpg123                  %.2f   (goal <= 1.2)\n",
                    engineBest.total / mpg123Best);

        AudioEngine engine{silent ? platform::audio::RealTimeOptions{""}
                                  : platform::audio::RealTimeOptions{}};
        auto player = engine.createPlayer();
        player->setFileName(platform::files::Name(file));
        player->open();
        player->play();
        std::this_thread::sleep_for(std::chrono::seconds(1));  // past the driver's start-up
        const double cpu0 = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        const auto wall0 = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(playSeconds));
        const double cpu = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
        std::printf("\nOne song playing in real time for %.1f s (output: %s):\n", wall,
                    engine.output().c_str());
        std::printf("  CPU share of one core                  %.2f %%  (goal <= 1 %%)\n",
                    100 * cpu / wall);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        rc = 1;
    }
    std::remove(file.c_str());
    return rc;
}
