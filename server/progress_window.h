#pragma once

#include "platform/widgets/progress_window.h"

class QLabel;
class QProgressBar;

namespace sonhall {

// The small window that shows the scan's progress in its caption and its bar.
class TaProgRead : public platform::widgets::ProgressWindow {
    Q_OBJECT
  public:
    TaProgRead();

    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label1 = nullptr;  // seen only at the window's full height

    void FormCreate();
    // After the first scan the window keeps its small height.
    void ShrinkToMinimum();

  protected:
    void resizeEvent(QResizeEvent* event) override;
};

}  // namespace sonhall
