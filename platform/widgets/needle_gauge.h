#pragma once

#include <QWidget>

namespace platform::widgets {

// A round gauge whose needle sweeps from the left (0) to the right (MaxValue) over the upper
// half circle.
class NeedleGauge : public QWidget {
    Q_OBJECT
  public:
    explicit NeedleGauge(QWidget* parent = nullptr);

    int Progress() const { return progress_; }
    void SetProgress(int value);
    int MaxValue() const { return max_; }
    void SetMaxValue(int value);

    QSize sizeHint() const override { return {96, 60}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int progress_ = 0;
    int max_ = 100;
};

}  // namespace platform::widgets
