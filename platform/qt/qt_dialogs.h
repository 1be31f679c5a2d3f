#pragma once

#include "platform/dialogs.h"

namespace platform {

// True when the program runs on a Qt platform that shows nothing to anybody (offscreen).
bool runsWithoutDisplay();

// Dialogs on Qt's message boxes and file dialogs. Without a display nobody could answer
// them: each box is written to standard error with its title and takes its default button
// at once, and each file chooser is cancelled.
class QtDialogs : public Dialogs {
  public:
    enum class Display { Detect, Present, Absent };
    explicit QtDialogs(Display display = Display::Detect);

    void showMessage(std::string_view text) override;
    void showError(std::string_view text) override;
    void postMessage(std::string_view text) override;
    void postError(std::string_view text) override;
    void postTrackedError(std::string_view text, std::function<void()> closed) override;
    bool confirm(std::string_view text) override;
    std::optional<std::string> browseForFolder(std::string_view caption,
                                               std::string_view root) override;

  protected:
    std::optional<std::string> askOpenFile(const FileDialogOptions& options) override;
    std::optional<std::string> askSaveFile(const FileDialogOptions& options) override;

  private:
    bool headless_;
};

}  // namespace platform
