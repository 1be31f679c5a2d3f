#pragma once

#include <exception>
#include <utility>

#include "platform/dialogs.h"
#include "platform/work_under_way.h"

namespace platform {

// The programs' general error handler: an error escaping an event handler is shown in an error
// box and the rest of that handler is skipped. Nothing may cross into the event loop. Work
// that must not stop for the box (a timer tick) posts it instead of waiting.
template <class Handler>
void guarded(Handler&& handler, BoxWait wait = BoxWait::UntilClosed) noexcept {
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception& e) {
        try {
            showError(wait, e.what());
        } catch (...) {
        }
    } catch (...) {
        try {
            showError(wait, "Unknown error");
        } catch (...) {
        }
    }
}

// A user's command (a button, a menu entry, whatever invoked it: the mouse, a key, the
// accessibility tree): guarded, and refused, doing nothing, while it comes from outside long
// work under way (see outsideLongWork).
template <class Handler>
void guardedCommand(Handler&& handler) noexcept {
    if (!outsideLongWork())
        guarded(std::forward<Handler>(handler));
}

}  // namespace platform
