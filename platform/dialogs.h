#pragma once

#include <optional>
#include <string>
#include <string_view>

// The modal boxes and file choosers of both programs. The programs install the Qt
// implementation; tests install a scripted one. Called on the user-interface thread only.
namespace platform {

class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // Plain box: the program's title, the text, OK, no icon.
    virtual void showMessage(std::string_view text) = 0;
    // Error box: title "Error", the text, OK.
    virtual void showError(std::string_view text) = 0;
    // Confirmation: title "Confirm", "&Yes" and "&No"; true only for Yes.
    virtual bool confirm(std::string_view text) = 0;
    // A folder, or nothing when cancelled. Paths use "/" and carry no trailing separator.
    virtual std::optional<std::string> browseForFolder(std::string_view caption,
                                                       std::string_view root) = 0;
    // filter in the form "Playlist files (*.PLY)".
    virtual std::optional<std::string> openFile(std::string_view caption, std::string_view folder,
                                                std::string_view filter) = 0;
    virtual std::optional<std::string> saveFile(std::string_view caption, std::string_view folder,
                                                std::string_view filter) = 0;
};

// For runs nobody watches (tools, benchmarks, fuzzing): every box is answered at once, No or
// cancel; the texts go to standard error when echo is on.
class UnattendedDialogs : public Dialogs {
  public:
    explicit UnattendedDialogs(bool echo = true) : echo_(echo) {}
    void showMessage(std::string_view text) override;
    void showError(std::string_view text) override;
    bool confirm(std::string_view text) override;
    std::optional<std::string> browseForFolder(std::string_view caption,
                                               std::string_view root) override;
    std::optional<std::string> openFile(std::string_view caption, std::string_view folder,
                                        std::string_view filter) override;
    std::optional<std::string> saveFile(std::string_view caption, std::string_view folder,
                                        std::string_view filter) override;

  private:
    void print(const char* prefix, std::string_view text) const;
    bool echo_;
};

// The installed implementation; unattended dialogs with echo until one is set.
Dialogs& dialogs();
// Installs d (not owned) and returns the one it replaces; nullptr restores the stand-in.
Dialogs* setDialogs(Dialogs* d);

// The title of plain message boxes (the original's application title).
void setProgramTitle(std::string title);
const std::string& programTitle();

}  // namespace platform
