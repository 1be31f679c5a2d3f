#pragma once

#include <QEvent>
#include <QObject>
#include <QWidget>
#include <functional>
#include <utility>

namespace testing_support {

// Runs a call each time the widget is drawn.
class PaintCounter : public QObject {
  public:
    PaintCounter(QWidget* widget, std::function<void()> painted) : painted_(std::move(painted)) {
        widget->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            painted_();
        return false;
    }

  private:
    std::function<void()> painted_;
};

}  // namespace testing_support
