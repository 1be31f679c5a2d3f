#pragma once

#include <string_view>

#include "platform/dialogs.h"

namespace kv {

// Error box: title "Error", the message, "OK". Returns when closed, unless told not to wait.
void ShowErrorDlg(std::string_view message,
                  platform::BoxWait wait = platform::BoxWait::UntilClosed);
// Confirmation box: title "Confirm", "&Yes" / "&No"; true only for Yes.
bool ConfirmDlg(std::string_view message);

}  // namespace kv
