#pragma once

#include <string_view>

namespace kv {

// Error box: title "Error", the message, "OK". Returns when closed.
void ShowErrorDlg(std::string_view message);
// Confirmation box: title "Confirm", "&Yes" / "&No"; true only for Yes.
bool ConfirmDlg(std::string_view message);

}  // namespace kv
