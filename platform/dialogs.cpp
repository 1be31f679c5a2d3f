#include "platform/dialogs.h"

#include <cstdio>

namespace platform {

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
bool UnattendedDialogs::confirm(std::string_view text) {
    print("Confirm (answered No): ", text);
    return false;
}
std::optional<std::string> UnattendedDialogs::browseForFolder(std::string_view, std::string_view) {
    return std::nullopt;
}
std::optional<std::string> UnattendedDialogs::openFile(std::string_view, std::string_view,
                                                       std::string_view) {
    return std::nullopt;
}
std::optional<std::string> UnattendedDialogs::saveFile(std::string_view, std::string_view,
                                                       std::string_view) {
    return std::nullopt;
}

namespace {

UnattendedDialogs standIn;
Dialogs* installed = nullptr;
std::string title;

}  // namespace

Dialogs& dialogs() {
    return installed ? *installed : standIn;
}

Dialogs* setDialogs(Dialogs* d) {
    Dialogs* old = installed;
    installed = d;
    return old;
}

void setProgramTitle(std::string t) {
    title = std::move(t);
}
const std::string& programTitle() {
    return title;
}

}  // namespace platform
