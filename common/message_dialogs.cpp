#include "common/message_dialogs.h"

#include "platform/dialogs.h"

namespace kv {

void ShowErrorDlg(std::string_view message) {
    platform::dialogs().showError(message);
}

bool ConfirmDlg(std::string_view message) {
    return platform::dialogs().confirm(message);
}

}  // namespace kv
