#pragma once

#include <QSlider>
#include <vector>

namespace sonpad {

// The volume track bar: a horizontal slider with tick marks at given positions (a plain
// slider only spaces them evenly).
class VolumeBar : public QSlider {
    Q_OBJECT
  public:
    explicit VolumeBar(QWidget* parent = nullptr);

    void SetTicks(std::vector<int> positions);
    const std::vector<int>& Ticks() const { return ticks_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<int> ticks_;
};

}  // namespace sonpad
