#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace testing_support {

// Scripted dialogs: every box a test expects is queued with its answer; a box that nobody
// expected, one shown modal where a posted one was expected (or the other way round), or one
// left unshown at the end, fails the test. Everything shown is recorded.
class FakeDialogs : public platform::Dialogs {
  public:
    enum class Kind { Message, Error, Confirm, Folder, Open, Save };
    struct Shown {
        Kind kind;
        std::string title;
        std::string text;
        bool posted = false;  // shown without waiting
    };

    FakeDialogs();  // installs itself
    ~FakeDialogs() override;

    // Optional expected text: when given, the shown text must equal it.
    FakeDialogs& expectMessage(std::optional<std::string> text = std::nullopt);
    FakeDialogs& expectError(std::optional<std::string> text = std::nullopt);
    FakeDialogs& expectPostedMessage(std::optional<std::string> text = std::nullopt);
    FakeDialogs& expectPostedError(std::optional<std::string> text = std::nullopt);
    FakeDialogs& expectConfirm(bool answer, std::optional<std::string> text = std::nullopt);
    FakeDialogs& expectFolder(std::optional<std::string> answer);
    FakeDialogs& expectOpenFile(std::optional<std::string> answer);
    FakeDialogs& expectSaveFile(std::optional<std::string> answer);

    const std::vector<Shown>& shown() const { return shown_; }
    std::vector<std::string> textsOf(Kind kind) const;
    size_t pending() const { return expected_.size(); }
    // Tracked boxes the program posted that the user has not closed yet.
    size_t standing() const { return standing_.size(); }
    // The user closes every tracked box that stands, the oldest first.
    void closeStanding();

    void showMessage(std::string_view text) override;
    void showError(std::string_view text) override;
    void postMessage(std::string_view text) override;
    void postError(std::string_view text) override;
    // Recorded as a posted error box, which stands until the test closes it.
    void postTrackedError(std::string_view text, std::function<void()> closed) override;
    bool confirm(std::string_view text) override;
    std::optional<std::string> browseForFolder(std::string_view caption,
                                               std::string_view root) override;
    // The options the last file chooser was opened with.
    const platform::FileDialogOptions& lastFileOptions() const { return lastFileOptions_; }

  protected:
    std::optional<std::string> askOpenFile(const platform::FileDialogOptions& options) override;
    std::optional<std::string> askSaveFile(const platform::FileDialogOptions& options) override;

  private:
    struct Expected {
        Kind kind;
        std::optional<std::string> text;
        bool yes = false;
        std::optional<std::string> path;
        bool posted = false;
    };
    Expected take(Kind kind, std::string title, std::string_view text, bool posted = false);

    std::deque<Expected> expected_;
    std::vector<Shown> shown_;
    std::vector<std::function<void()>> standing_;
    platform::FileDialogOptions lastFileOptions_;
    platform::Dialogs* previous_;
};

const char* kindName(FakeDialogs::Kind kind);

}  // namespace testing_support
