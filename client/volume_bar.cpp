#include "client/volume_bar.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

namespace sonpad {

VolumeBar::VolumeBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {}

void VolumeBar::SetTicks(std::vector<int> positions) {
    ticks_ = std::move(positions);
    update();
}

void VolumeBar::paintEvent(QPaintEvent* event) {
    QSlider::paintEvent(event);
    if (ticks_.empty())
        return;
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect handle =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const int span = width() - handle.width();
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    for (int position : ticks_) {
        const int x = handle.width() / 2 +
                      QStyle::sliderPositionFromValue(minimum(), maximum(), position, span);
        p.drawLine(x, height() - 4, x, height() - 1);
    }
}

}  // namespace sonpad
