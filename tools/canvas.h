#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "tools/avi_writer.h"

namespace avi_maker {

constexpr std::uint32_t rgb(int r, int g, int b) {
    return static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 |
           static_cast<std::uint32_t>(b);
}

// Mixes a over b; t = 0 gives b, t = 1 gives a.
inline std::uint32_t mix(std::uint32_t a, std::uint32_t b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    auto channel = [&](int shift) {
        const double x = ((a >> shift) & 0xFF) * t + ((b >> shift) & 0xFF) * (1.0 - t);
        return static_cast<std::uint32_t>(std::lround(x)) << shift;
    };
    return channel(16) | channel(8) | channel(0);
}

// A picture to draw on; everything outside it is clipped.
class Canvas {
  public:
    Canvas(int width, int height, std::uint32_t background) {
        picture_.width = width;
        picture_.height = height;
        picture_.pixels.assign(static_cast<size_t>(width * height), background);
    }

    int width() const { return picture_.width; }
    int height() const { return picture_.height; }

    void set(int x, int y, std::uint32_t colour) {
        if (x < 0 || y < 0 || x >= width() || y >= height())
            return;
        picture_.pixels[static_cast<size_t>(y * width() + x)] = colour;
    }

    std::uint32_t at(int x, int y) const {
        return picture_.pixels[static_cast<size_t>(y * width() + x)];
    }

    // Covers a pixel by coverage (0..1) of colour, for smooth edges.
    void blend(int x, int y, std::uint32_t colour, double coverage) {
        if (x < 0 || y < 0 || x >= width() || y >= height() || coverage <= 0)
            return;
        set(x, y, mix(colour, at(x, y), coverage));
    }

    void rect(int x, int y, int w, int h, std::uint32_t colour) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i)
                set(i, j, colour);
    }

    // Outline one pixel wide.
    void frame(int x, int y, int w, int h, std::uint32_t colour) {
        rect(x, y, w, 1, colour);
        rect(x, y + h - 1, w, 1, colour);
        rect(x, y, 1, h, colour);
        rect(x + w - 1, y, 1, h, colour);
    }

    const Picture& picture() const { return picture_; }

  private:
    Picture picture_;
};

}  // namespace avi_maker
