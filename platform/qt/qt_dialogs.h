#pragma once

#include "platform/dialogs.h"

namespace platform {

// Dialogs on Qt's message boxes and file dialogs.
class QtDialogs : public Dialogs {
  public:
    void showMessage(std::string_view text) override;
    void showError(std::string_view text) override;
    bool confirm(std::string_view text) override;
    std::optional<std::string> browseForFolder(std::string_view caption,
                                               std::string_view root) override;

  protected:
    std::optional<std::string> askOpenFile(const FileDialogOptions& options) override;
    std::optional<std::string> askSaveFile(const FileDialogOptions& options) override;
};

}  // namespace platform
