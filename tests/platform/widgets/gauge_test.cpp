#include "platform/widgets/gauge.h"

#include <gtest/gtest.h>

#include <QImage>

namespace {

using platform::widgets::Gauge;

TEST(Gauge, PercentDoneIsTheWholeFilledShare) {
    struct Case {
        int progress, max, percent;
    };
    const Case cases[] = {{0, 100, 0},  {50, 100, 50}, {100, 100, 100}, {150, 100, 100},
                          {-5, 100, 0}, {1, 3, 33},    {2, 3, 66},      {5, 0, 0}};
    for (const Case& c : cases) {
        Gauge g(nullptr, Gauge::Kind::HorizontalBar);
        g.SetMaxValue(c.max);
        g.SetProgress(c.progress);
        EXPECT_EQ(g.PercentDone(), c.percent) << c.progress << " of " << c.max;
    }
}

QImage paint(Gauge& g) {
    g.resize(g.sizeHint());
    QImage image(g.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    g.render(&image);
    return image;
}

TEST(Gauge, PieFillsClockwiseFromTheTopInItsColours) {
    Gauge g(nullptr, Gauge::Kind::Pie);
    g.SetColors(QColor(0, 128, 0), QColor(0, 255, 0));  // green, lime
    g.SetProgress(25);
    const QImage image = paint(g);
    const int w = image.width(), h = image.height();
    // A quarter: the upper right is filled, the lower left is not.
    EXPECT_EQ(QColor(image.pixel(w * 3 / 4 - 4, h / 4 + 4)), QColor(0, 255, 0));
    EXPECT_EQ(QColor(image.pixel(w / 4 + 4, h * 3 / 4 - 4)), QColor(0, 128, 0));
}

TEST(Gauge, BarFillsFromTheLeft) {
    Gauge g(nullptr, Gauge::Kind::HorizontalBar);
    g.SetColors(QColor(0, 255, 0), QColor(0, 128, 0));  // background lime, bar green
    g.SetProgress(30);
    const QImage image = paint(g);
    const int y = 3;
    EXPECT_EQ(QColor(image.pixel(5, y)), QColor(0, 128, 0));
    EXPECT_EQ(QColor(image.pixel(image.width() - 5, y)), QColor(0, 255, 0));
}

}  // namespace
