#include "platform/widgets/form_dialog.h"

#include <QKeyEvent>

#include "platform/event_guard.h"

namespace platform::widgets {

void FormDialog::done(int result) {
    bool closed = false;
    platform::guarded([&] {
        FormClose();
        closed = true;
    });
    if (closed)
        QDialog::done(result);
}

void FormDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace platform::widgets
