#pragma once

#include <QApplication>

#include "platform/event_guard.h"

namespace platform {

// Last line of defence: an error escaping any event delivery is shown, never propagated into
// Qt's event loop. Handlers still guard themselves so the rest of a handler is skipped cleanly.
class GuardedApplication : public QApplication {
  public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        bool handled = false;
        guarded([&] { handled = QApplication::notify(receiver, event); });
        return handled;
    }
};

}  // namespace platform
