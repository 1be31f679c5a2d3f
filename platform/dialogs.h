#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The message boxes and file choosers of both programs. The programs install the Qt
// implementation; tests install a scripted one. Called on the user-interface thread only.
// Box texts are UTF-8, as file names are (platform/qt/text_edge.h, boxText).
namespace platform {

// Whether a plain or error box holds up the code that shows it.
enum class BoxWait {
    UntilClosed,  // modal: the call returns once the box is closed
    No,           // the call returns at once; the box stands, beside any others, until closed
};

struct FileDialogOptions {
    std::string caption;
    std::string folder;            // where the chooser opens
    std::string filter;            // Qt's form: "Playlists (*.PLY);;All Files (*.*)"
    std::string defaultExtension;  // without the dot, e.g. "PLY"
    std::string fileName;          // the name proposed, e.g. the last one chosen
};

class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // Plain box: the program's title, the text, OK, no icon. Modal.
    virtual void showMessage(std::string_view text) = 0;
    // Error box: title "Error", the text, OK. Modal.
    virtual void showError(std::string_view text) = 0;
    // The same two boxes without waiting, for work that must go on meanwhile (a player tick,
    // the start-up). A question is never posted: its answer decides what happens next.
    virtual void postMessage(std::string_view text) = 0;
    virtual void postError(std::string_view text) = 0;
    // A posted error box that tells when it is gone: closed runs once, on the user-interface
    // thread, when the user has closed it (at once where nobody could see it), so that work
    // going on meanwhile can keep to one such box at a time.
    virtual void postTrackedError(std::string_view text, std::function<void()> closed);
    // Confirmation: title "Confirm", "&Yes" and "&No"; true only for Yes.
    virtual bool confirm(std::string_view text) = 0;
    // A folder, or nothing when cancelled. Paths use "/" and carry no trailing separator.
    virtual std::optional<std::string> browseForFolder(std::string_view caption,
                                                       std::string_view root) = 0;
    // The file choosers: the chosen path, or nothing when cancelled. Neither asks about an
    // existing or a missing file. A chosen name without an extension gets the default one.
    std::optional<std::string> openFile(const FileDialogOptions& options);
    std::optional<std::string> saveFile(const FileDialogOptions& options);

  protected:
    // The path as the user gave it.
    virtual std::optional<std::string> askOpenFile(const FileDialogOptions& options) = 0;
    virtual std::optional<std::string> askSaveFile(const FileDialogOptions& options) = 0;
};

// A name without an extension gets "." + extension; an empty extension changes nothing.
std::string withDefaultExtension(std::string path, std::string_view extension);

// For runs nobody watches (tools, benchmarks, fuzzing): every box is answered at once, No or
// cancel; the texts go to standard error when echo is on.
class UnattendedDialogs : public Dialogs {
  public:
    explicit UnattendedDialogs(bool echo = true) : echo_(echo) {}
    void showMessage(std::string_view text) override;
    void showError(std::string_view text) override;
    void postMessage(std::string_view text) override;
    void postError(std::string_view text) override;
    bool confirm(std::string_view text) override;
    std::optional<std::string> browseForFolder(std::string_view caption,
                                               std::string_view root) override;

  protected:
    std::optional<std::string> askOpenFile(const FileDialogOptions& options) override;
    std::optional<std::string> askSaveFile(const FileDialogOptions& options) override;

  private:
    void print(const char* prefix, std::string_view text) const;
    bool echo_;
};

// The installed implementation; unattended dialogs with echo until one is set.
Dialogs& dialogs();
// Installs d (not owned) and returns the one it replaces; nullptr restores the stand-in.
Dialogs* setDialogs(Dialogs* d);

// A plain or error box on the installed dialogs, modal or posted as wait says.
void showMessage(BoxWait wait, std::string_view text);
void showError(BoxWait wait, std::string_view text);

// The title of plain message boxes: the program's title.
void setProgramTitle(std::string title);
const std::string& programTitle();

}  // namespace platform
