#pragma once

#include <exception>
#include <utility>

#include "platform/dialogs.h"

namespace platform {

// The programs' general error handler: an error escaping an event handler is shown in an error
// box and the rest of that handler is skipped. Nothing may cross into the event loop.
template <class Handler>
void guarded(Handler&& handler) noexcept {
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception& e) {
        try {
            dialogs().showError(e.what());
        } catch (...) {
        }
    } catch (...) {
        try {
            dialogs().showError("Unknown error");
        } catch (...) {
        }
    }
}

}  // namespace platform
