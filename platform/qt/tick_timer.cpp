#include "platform/qt/tick_timer.h"

namespace platform {

TickTimer::TickTimer(int intervalMs, bool real, QObject* parent)
    : QObject(parent), interval_(intervalMs), real_(real) {
    timer_.setInterval(intervalMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (enabled_ && OnTimer)
            OnTimer();
    });
}

void TickTimer::SetEnabled(bool on) {
    if (on == enabled_)
        return;
    enabled_ = on;
    if (!real_)
        return;
    if (on)
        timer_.start();
    else
        timer_.stop();
}

void TickTimer::SetInterval(int ms) {
    interval_ = ms;
    timer_.setInterval(ms);
}

}  // namespace platform
