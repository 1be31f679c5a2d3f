#include "platform/widgets/animate_control.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>
#include <vector>

#include "platform/errors.h"
#include "platform/widgets/avi_reader.h"
#include "tests/platform/widgets/avi_test_files.h"
#include "tests/support/temp_dir.h"
#include "tests/support/waits.h"

namespace {

using platform::widgets::AnimateControl;
using testing_support::WaitUntil;

const std::string kMeter = std::string(SONH_RUNTIME_DIR) + "/meter.avi";
const std::string kConnect = std::string(SONH_RUNTIME_DIR) + "/connect.avi";

class AnimateControlTest : public testing::Test {
  protected:
    AnimateControl control;
    std::vector<int> shown;

    void SetUp() override {
        QObject::connect(&control, &AnimateControl::frameChanged,
                         [this](int frame) { shown.push_back(frame); });
    }
};

TEST_F(AnimateControlTest, LoadingTakesTheFramesSizeAndRate) {
    control.setFileName(kMeter);
    const auto animation = platform::avi::readAviFile(kMeter);
    EXPECT_EQ(control.frameCount(), static_cast<int>(animation.frames.size()));
    EXPECT_EQ(control.size(), QSize(animation.width, animation.height));
    EXPECT_EQ(control.frameInterval(), animation.microsecondsPerFrame / 1000);
    EXPECT_EQ(control.fileName(), kMeter);
}

TEST_F(AnimateControlTest, ActiveLoopsThroughEveryFrameInOrder) {
    control.setFileName(kConnect);
    control.setStopFrame(6);
    shown.clear();
    control.setActive(true);
    const int n = control.frameCount();
    // Until it has wrapped round past the last frame at least once.
    ASSERT_TRUE(WaitUntil([&] { return shown.size() >= static_cast<size_t>(n + 2); }));
    EXPECT_EQ(shown.front(), 0);
    for (size_t i = 1; i < shown.size(); ++i)
        EXPECT_EQ(shown[i], (shown[i - 1] + 1) % n) << "at step " << i;
}

TEST_F(AnimateControlTest, StoppedShowsTheStopFrameAndStaysThere) {
    control.setFileName(kMeter);
    control.setStopFrame(12);
    EXPECT_EQ(control.currentFrame(), 12);
    control.setActive(true);
    ASSERT_TRUE(
        WaitUntil([&] { return control.currentFrame() != 0 && control.currentFrame() != 12; }));
    control.setActive(false);
    EXPECT_FALSE(control.active());
    EXPECT_EQ(control.currentFrame(), 12);
    QTest::qWait(300);  // several frame times
    EXPECT_EQ(control.currentFrame(), 12);
}

TEST_F(AnimateControlTest, StopFramePastTheEndShowsTheLastFrame) {
    control.setFileName(kConnect);
    control.setStopFrame(999);
    EXPECT_EQ(control.currentFrame(), control.frameCount() - 1);
}

TEST_F(AnimateControlTest, PaintsTheStopFrame) {
    control.setFileName(kMeter);
    control.setStopFrame(3);
    control.setTransparent(false);
    const auto expected = platform::avi::readAviFile(kMeter).frames[3];
    const QImage shot = control.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shot.size(), control.size());
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            ASSERT_EQ(shot.pixel(x, y), expected[static_cast<size_t>(y * shot.width() + x)])
                << x << "," << y;
        }
    }
}

TEST_F(AnimateControlTest, TransparentLeavesTheBackgroundColourOut) {
    control.setFileName(kConnect);  // light face-coloured background, dark computers
    const auto frame = platform::avi::readAviFile(kConnect).frames[0];
    QWidget host;
    host.setAutoFillBackground(true);
    QPalette palette = host.palette();
    palette.setColor(QPalette::Window, QColor(255, 0, 255));
    host.setPalette(palette);
    control.setParent(&host);
    host.resize(control.size());
    const QImage shot = host.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shot.pixel(0, 0), qRgb(255, 0, 255));
    const int w = control.width();
    size_t opaque = 0;
    for (int i = 0; i < static_cast<int>(frame.size()); ++i) {
        if (frame[static_cast<size_t>(i)] == frame[0])
            continue;
        ++opaque;
        EXPECT_EQ(shot.pixel(i % w, i / w), frame[static_cast<size_t>(i)]);
    }
    EXPECT_GT(opaque, 0u);
    control.setParent(nullptr);
}

TEST_F(AnimateControlTest, MissingFileRaisesAndKeepsTheLoadedAnimation) {
    control.setFileName(kMeter);
    const int frames = control.frameCount();
    EXPECT_THROW(control.setFileName(std::string(SONH_RUNTIME_DIR) + "/animated.avi"),
                 platform::Error);
    EXPECT_EQ(control.fileName(), kMeter);
    EXPECT_EQ(control.frameCount(), frames);
}

TEST_F(AnimateControlTest, UnreadableFileRaises) {
    testing_support::TempDir dir;
    const std::string name = dir.write("broken.avi", "RIFF\x10\0\0\0AVI junk");
    EXPECT_THROW(control.setFileName(name), platform::Error);
    EXPECT_EQ(control.frameCount(), 0);
}

TEST_F(AnimateControlTest, ActiveBeforeLoadingStartsWithTheFile) {
    control.setActive(true);
    EXPECT_TRUE(control.active());
    control.setFileName(kConnect);
    ASSERT_TRUE(WaitUntil([&] { return control.currentFrame() >= 2; }));
}

}  // namespace
