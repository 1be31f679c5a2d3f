#include "platform/widgets/own_click.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

namespace platform::widgets {
namespace {

class OwnClickFilter : public QObject {
  public:
    OwnClickFilter(QWidget* widget, std::function<void()> handler)
        : QObject(widget), widget_(widget), handler_(std::move(handler)) {
        widget->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != widget_ || (event->type() != QEvent::MouseButtonPress &&
                                   event->type() != QEvent::MouseButtonRelease))
            return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        const QPoint at = mouse->position().toPoint();
        const bool own = widget_->rect().contains(at) && widget_->childAt(at) == nullptr;
        if (event->type() == QEvent::MouseButtonPress) {
            pressed_ = own;
            return own;
        }
        const bool click = pressed_ && own;
        pressed_ = false;
        if (click)
            handler_();
        return click;
    }

  private:
    QWidget* widget_;
    std::function<void()> handler_;
    bool pressed_ = false;
};

}  // namespace

void OnOwnClick(QWidget* widget, std::function<void()> handler) {
    new OwnClickFilter(widget, std::move(handler));
}

}  // namespace platform::widgets
