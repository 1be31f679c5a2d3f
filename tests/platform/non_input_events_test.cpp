#include "platform/qt/non_input_events.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

class PaintCount : public QWidget {
  public:
    int paints = 0;

  protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

TEST(NonInputEvents, AWindowJustShownIsDrawnAndTimersRunWhileWorkGoesOn) {
    PaintCount window;
    window.resize(100, 40);
    bool ticked = false;
    QTimer::singleShot(0, &window, [&] { ticked = true; });
    window.show();
    EXPECT_EQ(window.paints, 0);  // nothing was let in yet

    platform::qt::waitUntilDrawn(window);
    ASSERT_NE(window.windowHandle(), nullptr);
    EXPECT_TRUE(window.windowHandle()->isExposed());
    EXPECT_GT(window.paints, 0);
    EXPECT_TRUE(ticked);

    const int before = window.paints;
    window.update();
    platform::qt::letNonInputEventsIn();
    EXPECT_GT(window.paints, before);
}

TEST(NonInputEvents, AHiddenWindowIsNotWaitedFor) {
    PaintCount window;
    platform::qt::waitUntilDrawn(window, 60'000);
    EXPECT_EQ(window.paints, 0);
}

TEST(NonInputEvents, PacerLetsEventsInAtTheFirstCallThenOncePerInterval) {
    platform::qt::NonInputEventPacer often(0), seldom(60'000);
    EXPECT_TRUE(seldom.due());
    EXPECT_TRUE(seldom.letInWhenDue());
    EXPECT_FALSE(seldom.due());
    EXPECT_FALSE(seldom.letInWhenDue());
    often.letIn();
    EXPECT_TRUE(often.letInWhenDue());
}

}  // namespace
