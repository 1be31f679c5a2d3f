#include "platform/widgets/progress_window.h"

#include <QCloseEvent>

namespace platform::widgets {
namespace {

constexpr Qt::WindowFlags kFlags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;

}  // namespace

ProgressWindow::ProgressWindow() : QWidget(nullptr, kFlags) {}

void ProgressWindow::ShowAbove(QWidget* owner) {
    if (owner != parentWidget()) {
        const QPoint at = pos();
        setParent(owner, kFlags);
        move(at);
    }
    show();
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    if (event->spontaneous())
        event->ignore();
    else
        QWidget::closeEvent(event);
}

}  // namespace platform::widgets
