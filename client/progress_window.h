#pragma once

#include <string>
#include <string_view>

#include "platform/widgets/progress_window.h"

class QLabel;
class QProgressBar;

namespace platform::widgets {
class StatusPanels;
}

namespace sonpad {

// The small window that shows the local scan's progress. It opens tall, with two header
// lines, until the end of its first scan (Tag 1); from then on it is compact (Tag 0) and shows
// only the bar and the status line, which stay at its bottom edge.
class TaProgress : public platform::widgets::ProgressWindow {
    Q_OBJECT
  public:
    static constexpr int kWidth = 286, kMinHeight = 54, kMaxHeight = 118;

    TaProgress();

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    platform::widgets::StatusPanels* StatusBar1 = nullptr;  // one text across the whole width

    // 1 until a scan has used the window.
    int Tag = 0;

    void FormCreate();
    void SetStatusText(std::string_view text);
    std::string StatusText() const;

  protected:
    void resizeEvent(QResizeEvent* event) override;
};

}  // namespace sonpad
