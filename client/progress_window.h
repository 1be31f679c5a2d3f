#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

namespace platform::widgets {
class StatusPanels;
}

namespace sonpad {

// The small window that shows the local scan's progress: tall with its header lines at the
// first scan, compact (bar and status line) afterwards.
class TaProgress : public QDialog {
    Q_OBJECT
  public:
    TaProgress();

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    platform::widgets::StatusPanels* StatusBar1 = nullptr;  // one text across the width
    int Tag = 0;  // 1 until the first scan has used the window

    void FormCreate();
};

}  // namespace sonpad
