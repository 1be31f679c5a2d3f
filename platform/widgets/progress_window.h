#pragma once

#include <QWidget>

class QCloseEvent;

namespace platform::widgets {

// The window a scan shows its progress in: a caption and no title-bar buttons. It stands
// above the window that started the scan, and nobody closes it from outside in the middle of
// the scan; only the program does.
class ProgressWindow : public QWidget {
    Q_OBJECT
  public:
    ProgressWindow();

    // Shows the window as owner's own dialog, so it stays in front of it, also of a modal
    // owner. The owner must outlive the window.
    void ShowAbove(QWidget* owner);

  protected:
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace platform::widgets
