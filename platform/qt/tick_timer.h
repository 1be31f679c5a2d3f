#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

namespace platform {

// A timer with an on/off state and a tag, as the player tick uses it. Without a real timer
// behind it (tests), it only records its state and the test calls the handler itself.
class TickTimer : public QObject {
    Q_OBJECT
  public:
    TickTimer(int intervalMs, bool real, QObject* parent);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    int Interval() const { return interval_; }
    // A running timer starts its new interval afresh.
    void SetInterval(int ms);

    int Tag = 0;
    std::function<void()> OnTimer;

  private:
    QTimer timer_;
    int interval_;
    bool real_;
    bool enabled_ = false;
};

}  // namespace platform
