#pragma once

#include "platform/widgets/progress_window.h"

namespace platform::widgets {
class Gauge;
}

namespace sonpad {

// The copy job's progress: one bar that writes its percentage; no close box. It stands in
// front of the window that started the job.
class TaCopyFile : public platform::widgets::ProgressWindow {
    Q_OBJECT
  public:
    TaCopyFile();

    platform::widgets::Gauge* Gauge1 = nullptr;
};

}  // namespace sonpad
