#include "tools/avi_writer.h"

#include <map>
#include <optional>
#include <stdexcept>

namespace avi_maker {
namespace {

void put32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>(v >> (8 * i) & 0xFF));
}

void put16(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

std::string chunk(const std::string& id, const std::string& body) {
    std::string out = id;
    put32(out, static_cast<std::uint32_t>(body.size()));
    out += body;
    if (body.size() % 2 != 0)
        out.push_back('\0');
    return out;
}

std::string list(const std::string& type, const std::string& children) {
    return chunk("LIST", type + children);
}

class Palette {
  public:
    explicit Palette(const Movie& movie) {
        for (const Picture& p : movie.frames) {
            for (std::uint32_t c : p.pixels) {
                if (index_.contains(c))
                    continue;
                if (colours_.size() == 256)
                    throw std::invalid_argument("more than 256 colours");
                index_[c] = static_cast<std::uint8_t>(colours_.size());
                colours_.push_back(c);
            }
        }
    }
    std::uint8_t operator[](std::uint32_t colour) const { return index_.at(colour); }
    const std::vector<std::uint32_t>& colours() const { return colours_; }

  private:
    std::map<std::uint32_t, std::uint8_t> index_;
    std::vector<std::uint32_t> colours_;
};

std::string frameData(const Picture& p, Depth depth, const Palette* palette) {
    const int bits = depth == Depth::Rgb24 ? 24 : 8;
    const size_t stride = static_cast<size_t>((p.width * bits + 31) / 32 * 4);
    std::string out;
    out.reserve(stride * static_cast<size_t>(p.height));
    for (int y = p.height - 1; y >= 0; --y) {  // bottom row first
        const size_t start = out.size();
        for (int x = 0; x < p.width; ++x) {
            const std::uint32_t c = p.pixels[static_cast<size_t>(y * p.width + x)];
            if (depth == Depth::Rgb24) {
                out.push_back(static_cast<char>(c & 0xFF));
                out.push_back(static_cast<char>(c >> 8 & 0xFF));
                out.push_back(static_cast<char>(c >> 16 & 0xFF));
            } else {
                out.push_back(static_cast<char>((*palette)[c & 0xFFFFFF]));
            }
        }
        out.resize(start + stride, '\0');
    }
    return out;
}

}  // namespace

std::string encodeAvi(const Movie& movie, Depth depth) {
    if (movie.frames.empty())
        throw std::invalid_argument("no frames");
    const int width = movie.frames.front().width;
    const int height = movie.frames.front().height;
    for (const Picture& p : movie.frames) {
        if (p.width != width || p.height != height ||
            p.pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
            throw std::invalid_argument("frames of unequal size");
    }
    Movie masked = movie;
    for (Picture& p : masked.frames)
        for (std::uint32_t& c : p.pixels)
            c &= 0xFFFFFF;
    const std::optional<Palette> palette =
        depth == Depth::Palette8 ? std::optional<Palette>(Palette(masked)) : std::nullopt;

    const auto frames = static_cast<std::uint32_t>(movie.frames.size());
    const auto us = static_cast<std::uint32_t>(movie.microsecondsPerFrame);
    const auto frameBytes = static_cast<std::uint32_t>(
        frameData(masked.frames.front(), depth, palette ? &*palette : nullptr).size());

    std::string avih;
    put32(avih, us);
    put32(avih, static_cast<std::uint32_t>(std::uint64_t{frameBytes} * 1'000'000 / us));
    put32(avih, 0);     // padding granularity
    put32(avih, 0x10);  // has an index
    put32(avih, frames);
    put32(avih, 0);  // initial frames
    put32(avih, 1);  // streams
    put32(avih, frameBytes);
    put32(avih, static_cast<std::uint32_t>(width));
    put32(avih, static_cast<std::uint32_t>(height));
    for (int i = 0; i < 4; ++i)
        put32(avih, 0);

    std::string strh = "vidsDIB ";
    put32(strh, 0);          // flags
    put16(strh, 0);          // priority
    put16(strh, 0);          // language
    put32(strh, 0);          // initial frames
    put32(strh, us);         // scale ...
    put32(strh, 1'000'000);  // ... over rate: frames per second
    put32(strh, 0);          // start
    put32(strh, frames);
    put32(strh, frameBytes);
    put32(strh, 0xFFFFFFFF);  // quality: default
    put32(strh, 0);           // sample size: varies
    put16(strh, 0);
    put16(strh, 0);
    put16(strh, static_cast<std::uint16_t>(width));
    put16(strh, static_cast<std::uint16_t>(height));

    std::string strf;
    put32(strf, 40);
    put32(strf, static_cast<std::uint32_t>(width));
    put32(strf, static_cast<std::uint32_t>(height));  // positive: bottom-up rows
    put16(strf, 1);
    put16(strf, depth == Depth::Rgb24 ? 24 : 8);
    put32(strf, 0);  // uncompressed
    put32(strf, frameBytes);
    put32(strf, 0);
    put32(strf, 0);
    const auto colours = palette ? static_cast<std::uint32_t>(palette->colours().size()) : 0u;
    put32(strf, colours);
    put32(strf, colours);
    if (palette) {
        for (std::uint32_t c : palette->colours()) {
            strf.push_back(static_cast<char>(c & 0xFF));
            strf.push_back(static_cast<char>(c >> 8 & 0xFF));
            strf.push_back(static_cast<char>(c >> 16 & 0xFF));
            strf.push_back('\0');
        }
    }

    std::string movi;
    std::string idx1;
    for (const Picture& p : masked.frames) {
        const std::string data = frameData(p, depth, palette ? &*palette : nullptr);
        idx1 += "00db";
        put32(idx1, 0x10);                                         // key frame
        put32(idx1, static_cast<std::uint32_t>(4 + movi.size()));  // from the "movi" type
        put32(idx1, static_cast<std::uint32_t>(data.size()));
        movi += chunk("00db", data);
    }

    const std::string hdrl =
        list("hdrl", chunk("avih", avih) + list("strl", chunk("strh", strh) + chunk("strf", strf)));
    return chunk("RIFF", "AVI " + hdrl + list("movi", movi) + chunk("idx1", idx1));
}

}  // namespace avi_maker
