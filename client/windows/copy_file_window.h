#pragma once

#include <QWidget>

namespace platform::widgets {
class Gauge;
}

namespace sonpad {

// The copy job's progress: one bar that writes its percentage; no close box.
class TaCopyFile : public QWidget {
    Q_OBJECT
  public:
    TaCopyFile();

    platform::widgets::Gauge* Gauge1 = nullptr;
};

}  // namespace sonpad
