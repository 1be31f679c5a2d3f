#include "platform/widgets/avi_reader.h"

#include <array>
#include <optional>
#include <string>

#include "platform/errors.h"
#include "platform/files.h"

namespace platform::avi {
namespace {

// Limits that keep a hostile file from making us allocate without end. The shipped files are
// well under a megabyte.
constexpr std::int64_t kMaxFileBytes = 32 << 20;
constexpr std::int64_t kMaxSide = 4096;
constexpr std::int64_t kMaxDecodedPixels = 1 << 24;
constexpr std::int64_t kMaxMicrosecondsPerFrame = 60'000'000;
constexpr int kMaxListDepth = 4;
constexpr int kMaxStreams = 100;  // stream numbers are two digits in the chunk ids

std::uint32_t le32(std::string_view s, size_t at) {
    auto b = [&](size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + i]));
    };
    return b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24;
}

std::uint16_t le16(std::string_view s, size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(s[at]) |
                                      static_cast<unsigned char>(s[at + 1]) << 8);
}

std::int32_t les32(std::string_view s, size_t at) {
    return static_cast<std::int32_t>(le32(s, at));
}

struct Chunk {
    std::string_view id;
    std::string_view body;
};

// Video format of the one stream we play.
struct VideoFormat {
    int stream = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;  // always positive; bottomUp tells the row order
    bool bottomUp = true;
    int bitCount = 0;
    std::array<std::uint32_t, 256> palette{};
    std::int64_t microsecondsPerFrame = 0;

    size_t stride() const { return static_cast<size_t>((width * bitCount + 31) / 32 * 4); }
    size_t frameBytes() const { return stride() * static_cast<size_t>(height); }
};

class Parser {
  public:
    explicit Parser(std::string_view name) : name_(name) {}

    Animation parse(std::string_view bytes) {
        if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "AVI ")
            fail("it is not an AVI file");
        const std::uint32_t riffSize = le32(bytes, 4);
        if (riffSize < 4 || riffSize > bytes.size() - 8)
            fail("the file is truncated");

        std::optional<std::string_view> headers;
        std::optional<std::string_view> movie;
        for (const Chunk& c : chunks(bytes.substr(12, riffSize - 4))) {
            if (c.id != "LIST" || c.body.size() < 4)
                continue;
            if (c.body.substr(0, 4) == "hdrl" && !headers)
                headers = c.body.substr(4);
            if (c.body.substr(0, 4) == "movi" && !movie)
                movie = c.body.substr(4);
        }
        if (!headers)
            fail("the file has no header list");
        if (!movie)
            fail("the file has no frames");

        const VideoFormat format = readHeaders(*headers);
        Animation result;
        result.width = static_cast<int>(format.width);
        result.height = static_cast<int>(format.height);
        result.microsecondsPerFrame = format.microsecondsPerFrame;
        readFrames(*movie, format, result.frames);
        if (result.frames.empty())
            fail("the file has no frames");
        return result;
    }

  private:
    [[noreturn]] void fail(const std::string& reason) const {
        throw Error("Cannot load the animation " + name_ + ": " + reason + ".");
    }

    // The chunks of a container body, in order; a chunk running past its container is damage.
    std::vector<Chunk> chunks(std::string_view body) const {
        std::vector<Chunk> out;
        size_t pos = 0;
        while (pos < body.size()) {
            if (body.size() - pos < 8)
                fail("the file is damaged (a chunk header is cut off)");
            const std::uint32_t size = le32(body, pos + 4);
            if (size > body.size() - pos - 8)
                fail("the file is damaged (a chunk runs past its end)");
            out.push_back({body.substr(pos, 4), body.substr(pos + 8, size)});
            // Chunks are padded to an even length; a pad missing at the very end is tolerated.
            pos += 8 + size;
            if (size % 2 != 0 && pos < body.size())
                ++pos;
        }
        return out;
    }

    VideoFormat readHeaders(std::string_view hdrl) const {
        std::optional<std::uint32_t> mainMicroseconds;
        std::optional<VideoFormat> video;
        int streamIndex = 0;
        for (const Chunk& c : chunks(hdrl)) {
            if (c.id == "avih" && !mainMicroseconds) {
                if (c.body.size() < 56)
                    fail("the main header is too short");
                mainMicroseconds = le32(c.body, 0);
            } else if (c.id == "LIST" && c.body.size() >= 4 && c.body.substr(0, 4) == "strl") {
                if (!video)
                    video = readStream(c.body.substr(4), streamIndex);
                ++streamIndex;
            }
        }
        if (!mainMicroseconds)
            fail("the file has no main header");
        if (!video)
            fail("the file has no video stream");
        if (*mainMicroseconds != 0)
            video->microsecondsPerFrame = *mainMicroseconds;
        if (video->microsecondsPerFrame <= 0 ||
            video->microsecondsPerFrame > kMaxMicrosecondsPerFrame)
            fail("the frame rate is missing or out of range");
        return *video;
    }

    // A stream list; returns nothing for a stream that is not video.
    std::optional<VideoFormat> readStream(std::string_view strl, int index) const {
        std::optional<std::string_view> header;
        std::optional<std::string_view> format;
        for (const Chunk& c : chunks(strl)) {
            if (c.id == "strh" && !header)
                header = c.body;
            if (c.id == "strf" && !format)
                format = c.body;
        }
        if (!header || header->size() < 48)
            fail("a stream header is missing or too short");
        if (header->substr(0, 4) != "vids")
            return std::nullopt;
        if (index >= kMaxStreams)
            fail("the file has too many streams");
        if (!format)
            fail("the video format is missing");

        VideoFormat v;
        v.stream = index;
        const std::uint32_t scale = le32(*header, 20);
        const std::uint32_t rate = le32(*header, 24);
        if (scale != 0 && rate != 0)
            v.microsecondsPerFrame = static_cast<std::int64_t>(scale) * 1'000'000 / rate;
        readBitmapInfo(*format, v);
        return v;
    }

    void readBitmapInfo(std::string_view f, VideoFormat& v) const {
        if (f.size() < 40)
            fail("the video format is too short");
        const std::uint32_t headerSize = le32(f, 0);
        if (headerSize < 40 || headerSize > f.size())
            fail("the video format is damaged");
        v.width = les32(f, 4);
        const std::int64_t height = les32(f, 8);
        v.bottomUp = height > 0;
        v.height = height < 0 ? -height : height;
        v.bitCount = le16(f, 14);
        const std::uint32_t compression = le32(f, 16);
        if (v.width < 1 || v.width > kMaxSide || v.height < 1 || v.height > kMaxSide)
            fail("the frame size is out of range");
        if (compression != 0)
            fail("compressed frames are not supported");
        if (v.bitCount != 8 && v.bitCount != 24)
            fail("only 8-bit and 24-bit frames are supported");
        if (v.bitCount == 8)
            readPalette(f, headerSize, v);
    }

    void readPalette(std::string_view f, std::uint32_t headerSize, VideoFormat& v) const {
        const std::uint32_t used = le32(f, 32);
        const std::uint32_t colours = used == 0 ? 256 : used;
        if (colours > 256)
            fail("the palette is too large");
        if (f.size() - headerSize < colours * 4)
            fail("the palette is cut off");
        v.palette.fill(0xFF000000u);  // indices past the palette show black
        for (std::uint32_t i = 0; i < colours; ++i) {
            const size_t at = headerSize + i * 4;
            const auto c = [&](size_t k) {
                return static_cast<std::uint32_t>(static_cast<unsigned char>(f[at + k]));
            };
            v.palette[i] = 0xFF000000u | c(2) << 16 | c(1) << 8 | c(0);
        }
    }

    void readFrames(std::string_view movi, const VideoFormat& v,
                    std::vector<std::vector<std::uint32_t>>& frames, int depth = 0) const {
        if (depth > kMaxListDepth)
            fail("the file is damaged (lists nested too deeply)");
        const std::string wanted =
            std::string{char('0' + v.stream / 10), char('0' + v.stream % 10)};
        const std::int64_t pixelsPerFrame = v.width * v.height;
        for (const Chunk& c : chunks(movi)) {
            if (c.id == "LIST" && c.body.size() >= 4 && c.body.substr(0, 4) == "rec ") {
                readFrames(c.body.substr(4), v, frames, depth + 1);
                continue;
            }
            if (c.id.substr(0, 2) != wanted || (c.id.substr(2) != "db" && c.id.substr(2) != "dc"))
                continue;
            if (static_cast<std::int64_t>(frames.size() + 1) * pixelsPerFrame > kMaxDecodedPixels)
                fail("the animation is too large");
            if (c.body.empty()) {
                // An empty frame repeats the one before it.
                if (frames.empty())
                    fail("the first frame is empty");
                frames.push_back(frames.back());
                continue;
            }
            if (c.body.size() < v.frameBytes())
                fail("frame " + std::to_string(frames.size()) + " is cut off");
            frames.push_back(decode(c.body, v));
        }
    }

    static std::vector<std::uint32_t> decode(std::string_view data, const VideoFormat& v) {
        const auto w = static_cast<size_t>(v.width);
        const auto h = static_cast<size_t>(v.height);
        std::vector<std::uint32_t> pixels(w * h);
        for (size_t y = 0; y < h; ++y) {
            const size_t row = (v.bottomUp ? h - 1 - y : y) * v.stride();
            std::uint32_t* out = pixels.data() + y * w;
            for (size_t x = 0; x < w; ++x) {
                if (v.bitCount == 8) {
                    out[x] = v.palette[static_cast<unsigned char>(data[row + x])];
                } else {
                    const auto c = [&](size_t k) {
                        return static_cast<std::uint32_t>(
                            static_cast<unsigned char>(data[row + 3 * x + k]));
                    };
                    out[x] = 0xFF000000u | c(2) << 16 | c(1) << 8 | c(0);
                }
            }
        }
        return pixels;
    }

    std::string name_;
};

}  // namespace

Animation parseAvi(std::string_view bytes, std::string_view name) {
    return Parser(name).parse(bytes);
}

Animation readAviFile(std::string_view fileName) {
    const std::string name(fileName);
    const files::Name file(name);  // next to the program, looked up
    if (!files::fileExists(file))
        throw Error("Cannot load the animation " + name + ": the file does not exist.");
    std::string bytes;
    try {
        files::File opened(file, files::File::Mode::Read);
        const std::int64_t size = opened.size();
        if (size > kMaxFileBytes)
            throw Error("Cannot load the animation " + name + ": the file is too large.");
        bytes = opened.read(static_cast<size_t>(size));
    } catch (const IoError& e) {
        throw Error("Cannot load the animation " + name + ": " + e.what());
    }
    return parseAvi(bytes, name);
}

}  // namespace platform::avi
