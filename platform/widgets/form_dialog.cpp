#include "platform/widgets/form_dialog.h"

#include <QKeyEvent>
#include <QPointer>
#include <utility>

#include "platform/event_guard.h"

namespace platform::widgets {

void FormDialog::done(int result) {
    if (longWorkUnderWay()) {
        if (!std::exchange(closePending_, true))
            whenWorkEnds([dialog = QPointer<FormDialog>(this), result] {
                if (!dialog)
                    return;
                dialog->closePending_ = false;
                dialog->done(result);
            });
        return;
    }
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
