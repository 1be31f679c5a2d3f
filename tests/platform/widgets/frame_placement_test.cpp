// A window's frame, title bar included, placed before and after its first show. Offscreen,
// the frame is 2 pixels wide all round, known once the window is shown.
#include "platform/widgets/frame_placement.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>
#include <ostream>
#include <vector>

inline void PrintTo(const QSize& s, std::ostream* os) {
    *os << s.width() << " x " << s.height();
}
inline void PrintTo(const QPoint& p, std::ostream* os) {
    *os << "(" << p.x() << ", " << p.y() << ")";
}
inline void PrintTo(const QRect& r, std::ostream* os) {
    *os << "(" << r.x() << ", " << r.y() << ") " << r.width() << " x " << r.height();
}

namespace {

using platform::widgets::FrameExtra;
using platform::widgets::PlaceFrame;

const QSize kOffscreenFrame(4, 4);

struct Window : QWidget {
    Window() { resize(200, 100); }
    void ShowAndWait() {
        show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(this));
    }
};

// The frame at a fixed place, its size what the window and the frame make; the frame sizes
// the rule was asked with are noted.
platform::widgets::FrameRule At(QPoint at, QSize inner, std::vector<QSize>& asked) {
    return [at, inner, &asked](QSize extra) {
        asked.push_back(extra);
        return QRect(at, inner + extra);
    };
}

TEST(FramePlacementTest, AnUnshownWindowTellsTheWindowSystemItsPlaceZeroIncluded) {
    for (const QPoint at : {QPoint(0, 0), QPoint(10, 10), QPoint(0, 5), QPoint(-30, -20)}) {
        Window w;
        ASSERT_FALSE(w.testAttribute(Qt::WA_Moved));
        std::vector<QSize> asked;
        PlaceFrame(w, At(at, w.size(), asked), nullptr);
        EXPECT_TRUE(w.testAttribute(Qt::WA_Moved)) << at.x() << "/" << at.y();
        w.ShowAndWait();
        EXPECT_EQ(w.frameGeometry(), QRect(at, QSize(200, 100) + kOffscreenFrame));
        EXPECT_EQ(w.size(), QSize(200, 100));
        // Asked first on the estimate (none known), then once more with the window's own frame.
        EXPECT_EQ(asked, (std::vector<QSize>{QSize(0, 0), kOffscreenFrame}));
    }
}

TEST(FramePlacementTest, TheFrameIsEstimatedFromAWindowAlreadyShown) {
    Window shown;
    shown.ShowAndWait();
    Window w;
    EXPECT_EQ(FrameExtra(w, nullptr), QSize(0, 0));
    EXPECT_EQ(FrameExtra(w, &shown), kOffscreenFrame);
    std::vector<QSize> asked;
    PlaceFrame(w, At({30, 40}, w.size(), asked), &shown);
    EXPECT_EQ(asked, std::vector<QSize>{kOffscreenFrame});
    w.ShowAndWait();
    EXPECT_EQ(w.frameGeometry(), QRect(30, 40, 204, 104));
    EXPECT_EQ(FrameExtra(w, nullptr), kOffscreenFrame) << "its own, once framed";
}

// A frame that must end at the screen's right edge (x 800) ends there whatever the first
// estimate was: the rule is applied again once the window has its own frame.
TEST(FramePlacementTest, AWrongEstimateIsMendedOnceTheWindowIsFramed) {
    const auto atRightEdge = [](QSize extra) {
        const QSize frame = QSize(200, 100) + extra;
        return QRect(QPoint(800 - frame.width(), 0), frame);
    };
    Window w;
    PlaceFrame(w, atRightEdge, nullptr);
    w.ShowAndWait();
    EXPECT_EQ(w.frameGeometry(), QRect(596, 0, 204, 104));

    // Framed, the window is placed at once and an older estimate is not applied again.
    std::vector<QSize> asked;
    PlaceFrame(w, At({5, 6}, w.size(), asked), nullptr);
    EXPECT_EQ(w.frameGeometry(), QRect(5, 6, 204, 104));
    w.hide();
    w.ShowAndWait();
    EXPECT_EQ(w.frameGeometry().topLeft(), QPoint(5, 6));
    EXPECT_EQ(asked, std::vector<QSize>{kOffscreenFrame});
}

// A frame as wide as an 800 pixel screen leaves the inner area the rest, once the frame is known.
TEST(FramePlacementTest, TheInnerAreaIsWhatTheFrameLeaves) {
    Window w;
    PlaceFrame(
        w, [](QSize extra) { return QRect(0, 0, 800, 300 + extra.height()); }, nullptr);
    w.ShowAndWait();
    EXPECT_EQ(w.frameGeometry(), QRect(0, 0, 800, 304));
    EXPECT_EQ(w.size(), QSize(796, 300));
}

}  // namespace
