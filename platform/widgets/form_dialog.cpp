#include "platform/widgets/form_dialog.h"

#include <QKeyEvent>
#include <utility>

#include "platform/event_guard.h"
#include "platform/qt/non_input_events.h"

namespace platform::widgets {

void FormDialog::done(int result) {
    if (longWorkUnderWay()) {
        if (!std::exchange(closePending_, true))
            qt::whenWorkEnds(*this, [this, result] {
                closePending_ = false;
                done(result);
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
