// A tooltip on the screen follows the text it is given, for its own widget only.
#include "platform/widgets/live_tool_tip.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolTip>

#include "platform/widgets/status_panels.h"

namespace {

using platform::widgets::SetLiveToolTip;

// Rests the mouse on the widget and shows its tip, as a hover does.
void hover(QWidget* w) {
    QCursor::setPos(w->mapToGlobal(w->rect().center()));
    QToolTip::showText(QCursor::pos(), w->toolTip(), w);
}

struct LiveToolTipTest : ::testing::Test {
    QWidget window;
    QLabel* a = new QLabel("a", &window);
    QLabel* b = new QLabel("b", &window);
    void SetUp() override {
        auto* row = new QHBoxLayout(&window);
        row->addWidget(a);
        row->addWidget(b);
        window.resize(300, 60);
        window.show();
        QApplication::processEvents();
    }
    void TearDown() override { QToolTip::hideText(); }
};

TEST_F(LiveToolTipTest, TheStandingTipShowsTheNewTextAndGoesWithAnEmptyOne) {
    SetLiveToolTip(a, "-03:20");
    hover(a);
    ASSERT_TRUE(QToolTip::isVisible());
    SetLiveToolTip(a, "-03:19");
    EXPECT_EQ(a->toolTip(), "-03:19");
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), "-03:19");
    SetLiveToolTip(a, QString());
    QElapsedTimer t;  // the tip fades out
    t.start();
    while (QToolTip::isVisible() && t.elapsed() < 3000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_FALSE(QToolTip::isVisible());
}

TEST_F(LiveToolTipTest, AnotherWidgetsTipIsLeftAlone) {
    SetLiveToolTip(a, "mine");
    SetLiveToolTip(b, "yours");
    hover(b);
    ASSERT_TRUE(QToolTip::isVisible());
    SetLiveToolTip(a, "mine, later");
    EXPECT_EQ(a->toolTip(), "mine, later");
    EXPECT_EQ(QToolTip::text(), "yours");
}

TEST(StatusPanelsTip, FollowsThePanelsText) {
    platform::widgets::StatusPanels bar(3);
    bar.SetWidth(1, 60);  // the uptime does not fit
    bar.resize(400, 24);
    bar.show();
    QApplication::processEvents();
    bar.SetText(1, "0 Days 0 Hours 0 Minutes 4 Seconds");
    auto* panel = bar.findChildren<QLabel*>().at(1);
    ASSERT_EQ(panel->text(), "0 Days 0 Hours 0 Minutes 4 Seconds");
    hover(panel);
    ASSERT_TRUE(QToolTip::isVisible());
    bar.SetText(1, "0 Days 0 Hours 0 Minutes 5 Seconds");
    EXPECT_EQ(QToolTip::text(), "0 Days 0 Hours 0 Minutes 5 Seconds");
    QToolTip::hideText();
}

}  // namespace
