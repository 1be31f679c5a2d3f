#include "platform/widgets/gauge.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform::widgets {

Gauge::Gauge(QWidget* parent, Kind kind) : QWidget(parent), kind_(kind) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void Gauge::SetProgress(int value) {
    if (value == progress_)
        return;
    progress_ = value;
    update();
}

void Gauge::SetMaxValue(int value) {
    if (value == max_)
        return;
    max_ = value;
    update();
}

void Gauge::SetColors(QColor background, QColor fill) {
    back_ = background;
    fore_ = fill;
    update();
}

double Gauge::share() const {
    return max_ > 0 ? std::clamp(static_cast<double>(progress_) / max_, 0.0, 1.0) : 0.0;
}

int Gauge::PercentDone() const {
    return static_cast<int>(std::floor(share() * 100.0));
}

QSize Gauge::sizeHint() const {
    switch (kind_) {
        case Kind::Pie:
            return {50, 50};
        case Kind::HorizontalBar:
            return {200, 20};
        case Kind::Needle:
            break;
    }
    return {96, 60};
}

void Gauge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    switch (kind_) {
        case Kind::Needle:
            paintNeedle(p);
            break;
        case Kind::Pie:
            paintPie(p);
            break;
        case Kind::HorizontalBar:
            paintBar(p);
            break;
    }
}

void Gauge::paintNeedle(QPainter& p) {
    const QRectF frame = QRectF(rect()).adjusted(1, 1, -1, -1);
    p.setPen(QPen(palette().color(QPalette::Mid), 1));
    p.setBrush(palette().color(QPalette::Base));
    p.drawRoundedRect(frame, 4, 4);

    // Dial: the upper half of a circle standing on the bottom edge.
    const double radius = std::min(frame.width() / 2.0 - 6, frame.height() - 10);
    const QPointF centre(frame.center().x(), frame.bottom() - 5);
    const QRectF dial(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    p.setPen(QPen(palette().color(QPalette::Text), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(dial, 0, 180 * 16);
    for (int i = 0; i <= 10; ++i) {
        const double a = std::numbers::pi * (1.0 - i / 10.0);
        const double inner = radius - (i % 5 == 0 ? 8 : 4);
        p.drawLine(QPointF(centre.x() + inner * std::cos(a), centre.y() - inner * std::sin(a)),
                   QPointF(centre.x() + radius * std::cos(a), centre.y() - radius * std::sin(a)));
    }

    const double a = std::numbers::pi * (1.0 - share());
    const QPointF tip(centre.x() + (radius - 3) * std::cos(a),
                      centre.y() - (radius - 3) * std::sin(a));
    p.setPen(QPen(QColor(200, 0, 0), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, tip);
    p.setBrush(palette().color(QPalette::Text));
    p.setPen(Qt::NoPen);
    p.drawEllipse(centre, 3, 3);
}

void Gauge::paintPie(QPainter& p) {
    const double side = std::min(width(), height()) - 2.0;
    const QRectF circle((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    p.setPen(QPen(palette().color(QPalette::Text), 1));
    p.setBrush(back_);
    p.drawEllipse(circle);
    // Qt counts angles counter-clockwise from three o'clock in 1/16 degrees.
    const int span = static_cast<int>(std::lround(-share() * 360.0 * 16.0));
    if (span != 0) {
        p.setBrush(fore_);
        p.drawPie(circle, 90 * 16, span);
    }
}

void Gauge::paintBar(QPainter& p) {
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(Qt::NoPen);
    p.setBrush(back_);
    p.drawRect(frame);
    QRectF filled = frame;
    filled.setWidth(frame.width() * share());
    p.setBrush(fore_);
    p.drawRect(filled);
    p.setPen(QPen(palette().color(QPalette::Text), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(frame);
    p.drawText(frame, Qt::AlignCenter, QStringLiteral("%1%").arg(PercentDone()));
}

}  // namespace platform::widgets
