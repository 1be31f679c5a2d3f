#include "platform/widgets/needle_gauge.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform::widgets {

NeedleGauge::NeedleGauge(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void NeedleGauge::SetProgress(int value) {
    if (value == progress_)
        return;
    progress_ = value;
    update();
}

void NeedleGauge::SetMaxValue(int value) {
    if (value == max_)
        return;
    max_ = value;
    update();
}

void NeedleGauge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
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

    const double share =
        max_ > 0 ? std::clamp(static_cast<double>(progress_) / max_, 0.0, 1.0) : 0.0;
    const double a = std::numbers::pi * (1.0 - share);
    const QPointF tip(centre.x() + (radius - 3) * std::cos(a),
                      centre.y() - (radius - 3) * std::sin(a));
    p.setPen(QPen(QColor(200, 0, 0), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, tip);
    p.setBrush(palette().color(QPalette::Text));
    p.setPen(Qt::NoPen);
    p.drawEllipse(centre, 3, 3);
}

}  // namespace platform::widgets
