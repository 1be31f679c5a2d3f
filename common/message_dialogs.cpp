#include "common/message_dialogs.h"

namespace kv {

void ShowErrorDlg(std::string_view message, platform::BoxWait wait) {
    platform::showError(wait, message);
}

bool ConfirmDlg(std::string_view message) {
    return platform::dialogs().confirm(message);
}

}  // namespace kv
