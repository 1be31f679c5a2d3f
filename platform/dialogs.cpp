#include "platform/dialogs.h"

#include <cstdio>

namespace platform {
namespace {

// Used before a program installs its dialogs (or by tools without windows).
class StderrDialogs : public Dialogs {
  public:
    void showMessage(std::string_view text) override { print("", text); }
    void showError(std::string_view text) override { print("Error: ", text); }
    bool confirm(std::string_view text) override {
        print("Confirm (answered No): ", text);
        return false;
    }
    std::optional<std::string> browseForFolder(std::string_view, std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::string> openFile(std::string_view, std::string_view,
                                        std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::string> saveFile(std::string_view, std::string_view,
                                        std::string_view) override {
        return std::nullopt;
    }

  private:
    static void print(const char* prefix, std::string_view text) {
        std::fprintf(stderr, "%s%.*s\n", prefix, static_cast<int>(text.size()), text.data());
    }
};

StderrDialogs standIn;
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
