#pragma once

#include <QWidget>

namespace platform::widgets {

// A gauge showing Progress out of MaxValue in one of three kinds: a needle sweeping the upper
// half circle from the left (0) to the right (MaxValue); a pie filled clockwise from the top;
// a horizontal bar filled from the left with its percentage written across it.
class Gauge : public QWidget {
    Q_OBJECT
  public:
    enum class Kind { Needle, Pie, HorizontalBar };

    explicit Gauge(QWidget* parent = nullptr, Kind kind = Kind::Needle);

    Kind kind() const { return kind_; }
    int Progress() const { return progress_; }
    void SetProgress(int value);
    int MaxValue() const { return max_; }
    void SetMaxValue(int value);
    // Whole percent of the filled share, 0 to 100 (0 for an empty range).
    int PercentDone() const;

    // Pie and bar: the unfilled part and the filled part.
    void SetColors(QColor background, QColor fill);
    QColor BackColor() const { return back_; }
    QColor ForeColor() const { return fore_; }

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    double share() const;
    void paintNeedle(QPainter& p);
    void paintPie(QPainter& p);
    void paintBar(QPainter& p);

    Kind kind_;
    int progress_ = 0;
    int max_ = 100;
    QColor back_{Qt::white};
    QColor fore_{Qt::black};
};

}  // namespace platform::widgets
