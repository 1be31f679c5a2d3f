#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

namespace sonhall {

// The small window that shows the scan's progress in its caption and its bar.
class TaProgRead : public QWidget {
    Q_OBJECT
  public:
    TaProgRead();

    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label1 = nullptr;  // seen only at the window's full height

    void FormCreate();
    // After the first scan the window keeps its small height.
    void ShrinkToMinimum();
    // Shows the window kept above owner, the window that started the scan.
    void ShowAbove(QWidget* owner);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    // Nobody closes it in the middle of a scan; only the scan does.
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace sonhall
