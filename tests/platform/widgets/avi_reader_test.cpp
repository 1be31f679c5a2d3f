#include "platform/widgets/avi_reader.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <random>
#include <string>

#include "platform/errors.h"
#include "tests/platform/widgets/avi_test_files.h"
#include "tests/support/temp_dir.h"
#include "tools/avi_writer.h"

namespace {

using avi_test::AviLayout;
using platform::avi::Animation;
using platform::avi::parseAvi;
using platform::avi::readAviFile;

AviLayout validRgb() {
    AviLayout s;
    s.frames = {avi_test::rgbFrame3x2(), avi_test::rgbFrame3x2()};
    return s;
}

AviLayout validPalette() {
    AviLayout s;
    s.width = 2;
    s.height = 2;
    s.bitCount = 8;
    s.coloursUsed = 3;
    s.palette = {0x102030, 0xFFEE00, 0x00AA55};
    // Rows of 2 indices padded to 4 bytes, bottom row first.
    s.frames = {
        std::string("\x02\x01\x00\x00"
                    "\x00\x02\x00\x00",
                    8)};
    return s;
}

std::string errorOf(const std::string& bytes) {
    try {
        parseAvi(bytes, "test.avi");
    } catch (const platform::Error& e) {
        return e.what();
    }
    return "";
}

TEST(AviReader, Decodes24BitBottomUpRowsWithPadding) {
    const Animation a = parseAvi(avi_test::build(validRgb()), "test.avi");
    EXPECT_EQ(a.width, 3);
    EXPECT_EQ(a.height, 2);
    EXPECT_EQ(a.microsecondsPerFrame, 50'000);
    ASSERT_EQ(a.frames.size(), 2u);
    EXPECT_EQ(a.frames[0], avi_test::rgbFrame3x2Pixels());
}

TEST(AviReader, DecodesTopDownRowsWhenTheHeightIsNegative) {
    AviLayout s = validRgb();
    s.height = -2;
    const Animation a = parseAvi(avi_test::build(s), "test.avi");
    const auto p = avi_test::rgbFrame3x2Pixels();
    const std::vector<std::uint32_t> flipped(p.begin() + 3, p.end());
    EXPECT_EQ(std::vector<std::uint32_t>(a.frames[0].begin(), a.frames[0].begin() + 3), flipped);
}

TEST(AviReader, DecodesPalettisedFrames) {
    const Animation a = parseAvi(avi_test::build(validPalette()), "test.avi");
    ASSERT_EQ(a.frames.size(), 1u);
    // Top row is the second stored row: indices 0, 2; bottom row: 2, 1.
    EXPECT_EQ(a.frames[0],
              (std::vector<std::uint32_t>{0xFF102030, 0xFF00AA55, 0xFF00AA55, 0xFFFFEE00}));
}

TEST(AviReader, IndexPastThePaletteShowsBlack) {
    AviLayout s = validPalette();
    s.frames = {
        std::string("\x07\x01\x00\x00"
                    "\x00\x02\x00\x00",
                    8)};
    EXPECT_EQ(parseAvi(avi_test::build(s), "test.avi").frames[0][2], 0xFF000000u);
}

TEST(AviReader, FrameRateFallsBackToTheStreamHeader) {
    AviLayout s = validRgb();
    s.microsecondsPerFrame = 0;
    s.scale = 1;
    s.rate = 8;
    EXPECT_EQ(parseAvi(avi_test::build(s), "test.avi").microsecondsPerFrame, 125'000);
}

TEST(AviReader, EmptyFrameRepeatsThePreviousOne) {
    AviLayout s = validRgb();
    s.frames = {avi_test::rgbFrame3x2(), ""};
    const Animation a = parseAvi(avi_test::build(s), "test.avi");
    ASSERT_EQ(a.frames.size(), 2u);
    EXPECT_EQ(a.frames[1], a.frames[0]);
}

TEST(AviReader, SkipsOtherChunksAndReadsFramesInsideRecordLists) {
    AviLayout s = validRgb();
    s.frames = {avi_test::rgbFrame3x2()};
    s.movieExtra = avi_test::chunk("01wb", "sound") + avi_test::chunk("00pc", "pal") +
                   avi_test::list("rec ", avi_test::chunk("00dc", avi_test::rgbFrame3x2()));
    s.trailer = avi_test::chunk("idx1", std::string(16, '\0'));
    EXPECT_EQ(parseAvi(avi_test::build(s), "test.avi").frames.size(), 2u);
}

struct BadCase {
    const char* what;
    std::function<void(AviLayout&)> spoil;
    const char* reason;
};

void PrintTo(const BadCase& c, std::ostream* os) {
    *os << c.what;
}

class AviReaderRejects : public testing::TestWithParam<BadCase> {};

TEST_P(AviReaderRejects, WithAReasonNamingTheFile) {
    AviLayout s = validRgb();
    GetParam().spoil(s);
    const std::string error = errorOf(avi_test::build(s));
    EXPECT_NE(error.find("test.avi"), std::string::npos) << error;
    EXPECT_NE(error.find(GetParam().reason), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, AviReaderRejects,
    testing::Values(
        BadCase{"NotRiff", [](AviLayout& s) { s.riff = "RIFX"; }, "not an AVI file"},
        BadCase{"WaveFile", [](AviLayout& s) { s.form = "WAVE"; }, "not an AVI file"},
        BadCase{"NoHeaders", [](AviLayout& s) { s.withHeaders = false; }, "no header list"},
        BadCase{"NoMainHeader", [](AviLayout& s) { s.withMainHeader = false; }, "no main header"},
        BadCase{"ShortMainHeader", [](AviLayout& s) { s.mainHeaderSize = 20; }, "too short"},
        BadCase{"AudioOnly", [](AviLayout& s) { s.streamType = "auds"; }, "no video stream"},
        BadCase{"NoFormat", [](AviLayout& s) { s.withFormat = false; }, "format is missing"},
        BadCase{"NoMovie", [](AviLayout& s) { s.withMovie = false; }, "no frames"},
        BadCase{"NoFrames", [](AviLayout& s) { s.frames.clear(); }, "no frames"},
        BadCase{"ZeroWidth", [](AviLayout& s) { s.width = 0; }, "frame size"},
        BadCase{"NegativeWidth", [](AviLayout& s) { s.width = -3; }, "frame size"},
        BadCase{"HugeWidth", [](AviLayout& s) { s.width = 100'000; }, "frame size"},
        BadCase{"ZeroHeight", [](AviLayout& s) { s.height = 0; }, "frame size"},
        BadCase{"HugeTopDown", [](AviLayout& s) { s.height = -100'000; }, "frame size"},
        BadCase{"MinimumHeight", [](AviLayout& s) { s.height = INT32_MIN; }, "frame size"},
        BadCase{"SixteenBit", [](AviLayout& s) { s.bitCount = 16; }, "8-bit and 24-bit"},
        BadCase{"RunLength", [](AviLayout& s) { s.compression = 1; }, "compressed"},
        BadCase{"NoFrameRate",
                [](AviLayout& s) {
                    s.microsecondsPerFrame = 0;
                    s.rate = 0;
                },
                "frame rate"},
        BadCase{"AbsurdFrameRate", [](AviLayout& s) { s.microsecondsPerFrame = 0xFFFFFFFF; },
                "frame rate"},
        BadCase{"FrameCutOff", [](AviLayout& s) { s.frames = {std::string(23, 'x')}; },
                "frame 0 is cut off"},
        BadCase{"FirstFrameEmpty", [](AviLayout& s) { s.frames = {""}; }, "first frame is empty"},
        BadCase{"PaletteTooLarge",
                [](AviLayout& s) {
                    s = validPalette();
                    s.coloursUsed = 300;
                },
                "palette is too large"},
        BadCase{"PaletteCutOff",
                [](AviLayout& s) {
                    s = validPalette();
                    s.coloursUsed = 0;  // means 256, but only 3 are there
                },
                "palette is cut off"},
        BadCase{"ChunkRunsPastItsList",
                [](AviLayout& s) { s.movieExtra = "00db" + avi_test::le32(0xFFFFFFF0); }, "damaged"},
        BadCase{"ChunkHeaderCutOff", [](AviLayout& s) { s.movieExtra = "00d"; }, "damaged"},
        BadCase{"ListsNestedTooDeeply",
                [](AviLayout& s) {
                    std::string nested = avi_test::chunk("00db", avi_test::rgbFrame3x2());
                    for (int i = 0; i < 50; ++i)
                        nested = avi_test::list("rec ", nested);
                    s.movieExtra = nested;
                },
                "nested"}),
    [](const testing::TestParamInfo<BadCase>& info) { return info.param.what; });

TEST(AviReader, RefusesToDecodeWithoutBound) {
    // One real 2048 x 2048 frame, then empty chunks that would each repeat it.
    AviLayout s;
    s.width = 2048;
    s.height = 2048;
    s.bitCount = 8;
    s.coloursUsed = 1;
    s.palette = {0};
    s.frames = {std::string(2048 * 2048, '\0'), "", "", "", "", ""};
    EXPECT_NE(errorOf(avi_test::build(s)).find("too large"), std::string::npos);
}

TEST(AviReader, EveryTruncationRaises) {
    for (const AviLayout& layout : {validRgb(), validPalette()}) {
        const std::string bytes = avi_test::build(layout);
        for (size_t n = 0; n < bytes.size(); ++n)
            EXPECT_THROW(parseAvi(bytes.substr(0, n), "test.avi"), platform::Error) << n;
    }
}

// The same cuts with the outer size made to fit, so the parse reaches the inner chunks: each
// either raises or gives whole frames, never reads past what it was given.
TEST(AviReader, TruncationWithAFittingOuterSizeNeverOverReads) {
    for (const AviLayout& layout : {validRgb(), validPalette()}) {
        const std::string bytes = avi_test::build(layout);
        for (size_t n = 12; n < bytes.size(); ++n) {
            std::string cut = bytes.substr(0, n);
            cut.replace(4, 4, avi_test::le32(static_cast<std::uint32_t>(n - 8)));
            try {
                const Animation a = parseAvi(cut, "test.avi");
                for (const auto& f : a.frames)
                    EXPECT_EQ(f.size(), size_t(a.width * a.height));
            } catch (const platform::Error&) {
            }
        }
    }
}

TEST(AviReader, CorruptBytesAnywhereNeverCrash) {
    for (const AviLayout& layout : {validRgb(), validPalette()}) {
        const std::string bytes = avi_test::build(layout);
        for (size_t i = 0; i < bytes.size(); ++i) {
            for (unsigned char value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
                std::string spoilt = bytes;
                spoilt[i] = static_cast<char>(value);
                try {
                    const Animation a = parseAvi(spoilt, "test.avi");
                    ASSERT_FALSE(a.frames.empty());
                    for (const auto& f : a.frames)
                        EXPECT_EQ(f.size(), size_t(a.width * a.height));
                } catch (const platform::Error&) {
                }
            }
        }
    }
}

TEST(AviReader, ReadsTheGeneratorsOutputBack) {
    // Random colours in both depths; the palette case stays under 256 colours.
    std::mt19937 random(7);
    for (auto depth : {avi_maker::Depth::Rgb24, avi_maker::Depth::Palette8}) {
        avi_maker::Movie movie;
        movie.microsecondsPerFrame = 66'667;
        for (int f = 0; f < 3; ++f) {
            avi_maker::Picture p{5, 3, {}};
            for (int i = 0; i < 15; ++i)
                p.pixels.push_back(depth == avi_maker::Depth::Rgb24 ? random() & 0xFFFFFF
                                                                    : (random() % 40) * 0x010203);
            movie.frames.push_back(p);
        }
        const Animation a = parseAvi(avi_maker::encodeAvi(movie, depth), "round.avi");
        EXPECT_EQ(a.width, 5);
        EXPECT_EQ(a.height, 3);
        EXPECT_EQ(a.microsecondsPerFrame, 66'667);
        ASSERT_EQ(a.frames.size(), 3u);
        for (size_t f = 0; f < 3; ++f) {
            for (size_t i = 0; i < 15; ++i)
                EXPECT_EQ(a.frames[f][i], 0xFF000000u | movie.frames[f].pixels[i]);
        }
    }
}

TEST(AviReaderFile, MissingFileRaisesNamingIt) {
    try {
        readAviFile("/nonexistent/meter.avi");
        FAIL() << "no error";
    } catch (const platform::Error& e) {
        EXPECT_STREQ(e.what(),
                     "Cannot load the animation /nonexistent/meter.avi: the file does not exist.");
    }
}

TEST(AviReaderFile, FindsTheFileWithoutRegardToCase) {
    testing_support::TempDir dir;
    dir.write("Anim.AVI", avi_test::build(validRgb()));
    EXPECT_EQ(readAviFile(dir / "anim.avi").frames.size(), 2u);
}

TEST(AviReaderFile, AFolderIsNotAnAnimation) {
    testing_support::TempDir dir;
    EXPECT_THROW(readAviFile(dir.mkdir("clip.avi")), platform::Error);
}

// The files shipped next to the programs.
struct Shipped {
    const char* name;
    size_t minFrames;
    int restingFrame;
};

void PrintTo(const Shipped& s, std::ostream* os) {
    *os << s.name;
}

class ShippedAnimation : public testing::TestWithParam<Shipped> {};

TEST_P(ShippedAnimation, IsSmallAndAnimated) {
    const Animation a = readAviFile(std::string(SONH_RUNTIME_DIR) + "/" + GetParam().name);
    EXPECT_GE(a.frames.size(), GetParam().minFrames);
    EXPECT_LT(static_cast<size_t>(GetParam().restingFrame), a.frames.size());
    EXPECT_LE(a.width, 128);
    EXPECT_LE(a.height, 64);
    EXPECT_GE(a.microsecondsPerFrame, 20'000);
    EXPECT_LE(a.microsecondsPerFrame, 500'000);
    for (size_t f = 1; f < a.frames.size(); ++f)
        EXPECT_NE(a.frames[f], a.frames[f - 1]) << "frame " << f << " repeats";
}

INSTANTIATE_TEST_SUITE_P(Data, ShippedAnimation,
                         testing::Values(Shipped{"meter.avi", 13, 12}, Shipped{"connect.avi", 7, 6},
                                         Shipped{"CD.AVI", 2, 0}, Shipped{"BARS.AVI", 2, 0},
                                         Shipped{"findfolder.avi", 30, 29}),
                         [](const testing::TestParamInfo<Shipped>& info) {
                             std::string n = info.param.name;
                             return n.substr(0, n.find('.'));
                         });

// Stopped, the level meter shows frame 12: it should look at rest, the darkest of all.
TEST(ShippedAnimationLook, MeterRestsDarkestAtItsStopFrame) {
    const Animation a = readAviFile(std::string(SONH_RUNTIME_DIR) + "/meter.avi");
    const auto brightness = [](const std::vector<std::uint32_t>& f) {
        long sum = 0;
        for (std::uint32_t p : f)
            sum += (p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF);
        return sum;
    };
    for (size_t f = 0; f < a.frames.size(); ++f) {
        if (f != 12) {
            EXPECT_LT(brightness(a.frames[12]), brightness(a.frames[f])) << f;
        }
    }
}

}  // namespace
