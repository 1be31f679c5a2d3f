#include "platform/dialogs.h"

#include <cstdio>
#include <utility>

#include "platform/work_under_way.h"

namespace platform {

void Dialogs::postTrackedError(std::string_view text, std::function<void()> closed) {
    postError(text);
    if (closed)
        closed();
}

void UnattendedDialogs::print(const char* prefix, std::string_view text) const {
    if (echo_)
        std::fprintf(stderr, "%s%.*s\n", prefix, static_cast<int>(text.size()), text.data());
}

void UnattendedDialogs::showMessage(std::string_view text) {
    print("", text);
}
void UnattendedDialogs::showError(std::string_view text) {
    print("Error: ", text);
}
void UnattendedDialogs::postMessage(std::string_view text) {
    showMessage(text);
}
void UnattendedDialogs::postError(std::string_view text) {
    showError(text);
}
bool UnattendedDialogs::confirm(std::string_view text) {
    print("Confirm (answered No): ", text);
    return false;
}
std::optional<std::string> UnattendedDialogs::browseForFolder(std::string_view, std::string_view) {
    return std::nullopt;
}
std::optional<std::string> UnattendedDialogs::askOpenFile(const FileDialogOptions&) {
    return std::nullopt;
}
std::optional<std::string> UnattendedDialogs::askSaveFile(const FileDialogOptions&) {
    return std::nullopt;
}

std::string withDefaultExtension(std::string path, std::string_view extension) {
    const size_t slash = path.find_last_of('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    if (extension.empty() || nameStart >= path.size() ||
        path.find('.', nameStart) != std::string::npos)
        return path;
    path += '.';
    path += extension;
    return path;
}

std::optional<std::string> Dialogs::openFile(const FileDialogOptions& options) {
    auto path = askOpenFile(options);
    if (path)
        *path = withDefaultExtension(std::move(*path), options.defaultExtension);
    return path;
}

std::optional<std::string> Dialogs::saveFile(const FileDialogOptions& options) {
    auto path = askSaveFile(options);
    if (path)
        *path = withDefaultExtension(std::move(*path), options.defaultExtension);
    return path;
}

namespace {

UnattendedDialogs standIn;
Dialogs* installed = nullptr;
std::string title;

// What reaches a box from outside long work: a plain or error box is posted, so it does not
// hold the work with an event loop of its own; a question is answered No and a chooser
// cancelled, so nothing the user did not see asked goes ahead.
class DuringLongWork : public Dialogs {
  public:
    Dialogs* inner = nullptr;
    void showMessage(std::string_view text) override { inner->postMessage(text); }
    void showError(std::string_view text) override { inner->postError(text); }
    void postMessage(std::string_view text) override { inner->postMessage(text); }
    void postError(std::string_view text) override { inner->postError(text); }
    void postTrackedError(std::string_view text, std::function<void()> closed) override {
        inner->postTrackedError(text, std::move(closed));
    }
    bool confirm(std::string_view) override { return false; }
    std::optional<std::string> browseForFolder(std::string_view, std::string_view) override {
        return std::nullopt;
    }

  protected:
    std::optional<std::string> askOpenFile(const FileDialogOptions&) override {
        return std::nullopt;
    }
    std::optional<std::string> askSaveFile(const FileDialogOptions&) override {
        return std::nullopt;
    }
};

}  // namespace

Dialogs& dialogs() {
    Dialogs& d = installed ? *installed : standIn;
    if (!outsideLongWork())
        return d;
    static DuringLongWork guard;
    guard.inner = &d;
    return guard;
}

Dialogs* setDialogs(Dialogs* d) {
    Dialogs* old = installed;
    installed = d;
    return old;
}

void showMessage(BoxWait wait, std::string_view text) {
    if (wait == BoxWait::No)
        dialogs().postMessage(text);
    else
        dialogs().showMessage(text);
}

void showError(BoxWait wait, std::string_view text) {
    if (wait == BoxWait::No)
        dialogs().postError(text);
    else
        dialogs().showError(text);
}

void setProgramTitle(std::string t) {
    title = std::move(t);
}
const std::string& programTitle() {
    return title;
}

}  // namespace platform
