#include "tools/animations.h"

#include <array>
#include <cmath>
#include <numbers>

#include "tools/canvas.h"

namespace avi_maker {
namespace {

constexpr double kPi = std::numbers::pi;
// The face colour of dialogs; being the top-left pixel it is also what a transparent
// animation control leaves out.
constexpr std::uint32_t kFace = rgb(240, 240, 240);

}  // namespace

Movie levelMeter() {
    // A horizontal LED bar on black: green, then yellow, then red, with a falling peak mark.
    constexpr int kSegments = 16;
    constexpr std::array<int, 16> kLevels = {7,  11, 14, 10, 13, 16, 12, 9,
                                             13, 15, 10, 6,  0,  4,  8,  11};
    const auto lit = [](int s) {
        return s < 11 ? rgb(40, 230, 60) : s < 14 ? rgb(245, 220, 40) : rgb(245, 60, 40);
    };
    const auto dark = [](int s) {
        return s < 11 ? rgb(10, 48, 14) : s < 14 ? rgb(52, 46, 10) : rgb(54, 14, 10);
    };
    Movie movie;
    movie.microsecondsPerFrame = 100'000;
    int peak = 0;
    for (size_t f = 0; f < kLevels.size(); ++f) {
        const int level = kLevels[f];
        peak = level == 0 ? 0 : std::max(level, peak - 1);
        Canvas c(81, 16, rgb(0, 0, 0));
        for (int s = 0; s < kSegments; ++s) {
            const bool on = s < level || (peak > 0 && s == peak - 1);
            c.rect(1 + s * 5, 2, 4, 12, on ? lit(s) : dark(s));
        }
        movie.frames.push_back(c.picture());
    }
    return movie;
}

Movie connection() {
    // Frames 0-5 carry a packet from the left computer to the right one, 7-11 back; frame 6
    // is the pause between, both screens idle.
    constexpr std::uint32_t kBezel = rgb(64, 72, 84);
    constexpr std::uint32_t kIdle = rgb(32, 64, 128);
    constexpr std::uint32_t kLit = rgb(90, 200, 255);
    constexpr std::uint32_t kCable = rgb(110, 118, 128);
    constexpr std::uint32_t kPacket = rgb(60, 220, 70);
    const auto computer = [&](Canvas& c, int x, bool lit) {
        c.rect(x, 6, 18, 14, kBezel);
        c.rect(x + 2, 8, 14, 10, lit ? kLit : kIdle);
        c.rect(x + 7, 20, 4, 3, kBezel);
        c.rect(x + 3, 23, 12, 2, kBezel);
    };
    Movie movie;
    movie.microsecondsPerFrame = 120'000;
    for (int f = 0; f < 12; ++f) {
        Canvas c(64, 32, kFace);
        c.rect(20, 21, 24, 2, kCable);
        int packetX = -1;
        if (f < 6)
            packetX = 19 + f * 4;
        if (f > 6)
            packetX = 43 - (f - 6) * 4;
        computer(c, 1, f == 11 || f == 0);
        computer(c, 45, f == 5);
        if (packetX >= 0)
            c.rect(packetX, 20, 4, 4, kPacket);
        movie.frames.push_back(c.picture());
    }
    return movie;
}

Movie spinningDisc() {
    // A silver disc with a rainbow sheen that turns; four samples per pixel smooth the edge.
    constexpr int kSize = 32;
    constexpr int kFrames = 12;
    constexpr double kCentre = kSize / 2.0;
    constexpr double kOuter = 14.5;
    constexpr double kLabel = 6.0;
    constexpr double kHole = 2.5;
    Movie movie;
    movie.microsecondsPerFrame = 80'000;
    for (int f = 0; f < kFrames; ++f) {
        const double turn = kPi * f / kFrames;  // the sheen repeats every half turn
        Canvas c(kSize, kSize, kFace);
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize; ++x) {
                double disc = 0;
                double r = 0, g = 0, b = 0;
                for (int s = 0; s < 4; ++s) {
                    const double dx = x + 0.25 + 0.5 * (s % 2) - kCentre;
                    const double dy = y + 0.25 + 0.5 * (s / 2) - kCentre;
                    const double d = std::hypot(dx, dy);
                    if (d > kOuter || d < kHole)
                        continue;
                    disc += 0.25;
                    std::uint32_t colour;
                    if (d < kLabel) {
                        colour = d < kHole + 1.2 ? rgb(150, 156, 164) : rgb(222, 226, 232);
                    } else {
                        const double a = std::atan2(dy, dx) - turn;
                        const double sheen = std::pow(std::abs(std::cos(a)), 6);
                        const double hue = 2 * kPi * (d - kLabel) / (kOuter - kLabel);
                        const std::uint32_t tint =
                            rgb(static_cast<int>(160 + 90 * std::cos(hue)),
                                static_cast<int>(160 + 90 * std::cos(hue - 2.1)),
                                static_cast<int>(160 + 90 * std::cos(hue + 2.1)));
                        colour = mix(tint, rgb(168, 176, 188), 0.75 * sheen);
                        colour = mix(rgb(255, 255, 255), colour, 0.35 * sheen);
                        if (d > kOuter - 1)
                            colour = mix(rgb(120, 126, 136), colour, 0.6);
                    }
                    r += 0.25 * (colour >> 16 & 0xFF);
                    g += 0.25 * (colour >> 8 & 0xFF);
                    b += 0.25 * (colour & 0xFF);
                }
                if (disc == 0)
                    continue;
                const std::uint32_t average = rgb(static_cast<int>(std::lround(r / disc)),
                                                  static_cast<int>(std::lround(g / disc)),
                                                  static_cast<int>(std::lround(b / disc)));
                c.blend(x, y, average, disc);
            }
        }
        movie.frames.push_back(c.picture());
    }
    return movie;
}

Movie equaliserBars() {
    // Ten LED columns on a dark display, each moving on its own beat, with peak caps.
    constexpr int kBars = 10;
    constexpr int kRows = 9;  // LED rows of 2 pixels
    constexpr int kFrames = 16;
    const auto colourOf = [](int row) {
        return row < 5 ? rgb(50, 220, 70) : row < 7 ? rgb(240, 215, 40) : rgb(240, 70, 40);
    };
    Movie movie;
    movie.microsecondsPerFrame = 90'000;
    std::array<int, kBars> peaks{};
    for (int f = 0; f < kFrames; ++f) {
        Canvas c(44, 24, kFace);
        c.rect(1, 1, 42, 22, rgb(16, 20, 24));
        for (int bar = 0; bar < kBars; ++bar) {
            // Frame 0 rests: every bar low.
            const double beat = std::sin(2 * kPi * f / kFrames * (1 + bar % 3) + bar * 1.3);
            const double swell = std::sin(kPi * f / kFrames);
            const int level =
                f == 0
                    ? 1
                    : 1 + static_cast<int>(std::lround((kRows - 2) * swell * (0.5 + 0.5 * beat)));
            peaks[bar] = f == 0 ? level : std::max(level, peaks[bar] - 1);
            for (int row = 0; row < kRows; ++row) {
                const int y = 20 - row * 2;
                const int x = 3 + bar * 4;
                if (row < level) {
                    c.rect(x, y, 3, 1, colourOf(row));
                } else if (row == peaks[bar]) {
                    c.rect(x, y, 3, 1, rgb(230, 230, 230));
                } else {
                    c.rect(x, y, 3, 1, rgb(34, 40, 46));
                }
            }
        }
        movie.frames.push_back(c.picture());
    }
    return movie;
}

Movie folderSearch() {
    // A yellow folder with a magnifier circling over it, one turn in 32 frames.
    constexpr int kFrames = 32;
    constexpr std::uint32_t kFolder = rgb(240, 200, 80);
    constexpr std::uint32_t kFolderDark = rgb(196, 150, 40);
    constexpr std::uint32_t kPaper = rgb(255, 255, 255);
    constexpr std::uint32_t kRim = rgb(60, 60, 70);
    constexpr std::uint32_t kLens = rgb(190, 225, 250);
    Movie movie;
    movie.microsecondsPerFrame = 60'000;
    for (int f = 0; f < kFrames; ++f) {
        Canvas c(80, 50, kFace);
        c.rect(20, 10, 16, 5, kFolderDark);  // tab
        c.rect(20, 14, 40, 28, kFolderDark);
        c.rect(24, 12, 32, 20, kPaper);
        c.rect(20, 20, 40, 22, kFolder);
        c.frame(20, 20, 40, 22, kFolderDark);
        const double a = 2 * kPi * f / kFrames;
        const int cx = 40 + static_cast<int>(std::lround(12 * std::cos(a)));
        const int cy = 26 + static_cast<int>(std::lround(7 * std::sin(a)));
        for (int y = cy - 10; y <= cy + 10; ++y) {
            for (int x = cx - 10; x <= cx + 10; ++x) {
                const double d = std::hypot(x - cx, y - cy);
                if (d <= 6)
                    c.set(x, y, kLens);
                else if (d <= 8)
                    c.set(x, y, kRim);
            }
        }
        for (int i = 0; i < 7; ++i) {  // the handle, down and to the right
            c.rect(cx + 6 + i, cy + 6 + i, 3, 3, kRim);
        }
        movie.frames.push_back(c.picture());
    }
    return movie;
}

}  // namespace avi_maker
