#include "tests/support/fake_dialogs.h"

#include <gtest/gtest.h>

namespace testing_support {

const char* kindName(FakeDialogs::Kind kind) {
    switch (kind) {
        case FakeDialogs::Kind::Message:
            return "message";
        case FakeDialogs::Kind::Error:
            return "error";
        case FakeDialogs::Kind::Confirm:
            return "confirm";
        case FakeDialogs::Kind::Folder:
            return "folder";
        case FakeDialogs::Kind::Open:
            return "open";
        case FakeDialogs::Kind::Save:
            return "save";
    }
    return "?";
}

FakeDialogs::FakeDialogs() : previous_(platform::setDialogs(this)) {}

FakeDialogs::~FakeDialogs() {
    platform::setDialogs(previous_);
    for (const Expected& e : expected_)
        ADD_FAILURE() << "expected " << kindName(e.kind) << " box was never shown"
                      << (e.text ? ": " + *e.text : std::string());
}

FakeDialogs& FakeDialogs::expectMessage(std::optional<std::string> text) {
    expected_.push_back({Kind::Message, std::move(text), false, std::nullopt});
    return *this;
}
FakeDialogs& FakeDialogs::expectError(std::optional<std::string> text) {
    expected_.push_back({Kind::Error, std::move(text), false, std::nullopt});
    return *this;
}
FakeDialogs& FakeDialogs::expectPostedMessage(std::optional<std::string> text) {
    expected_.push_back({Kind::Message, std::move(text), false, std::nullopt, true});
    return *this;
}
FakeDialogs& FakeDialogs::expectPostedError(std::optional<std::string> text) {
    expected_.push_back({Kind::Error, std::move(text), false, std::nullopt, true});
    return *this;
}
FakeDialogs& FakeDialogs::expectConfirm(bool answer, std::optional<std::string> text) {
    expected_.push_back({Kind::Confirm, std::move(text), answer, std::nullopt});
    return *this;
}
FakeDialogs& FakeDialogs::expectFolder(std::optional<std::string> answer) {
    expected_.push_back({Kind::Folder, std::nullopt, false, std::move(answer)});
    return *this;
}
FakeDialogs& FakeDialogs::expectOpenFile(std::optional<std::string> answer) {
    expected_.push_back({Kind::Open, std::nullopt, false, std::move(answer)});
    return *this;
}
FakeDialogs& FakeDialogs::expectSaveFile(std::optional<std::string> answer) {
    expected_.push_back({Kind::Save, std::nullopt, false, std::move(answer)});
    return *this;
}

std::vector<std::string> FakeDialogs::textsOf(Kind kind) const {
    std::vector<std::string> out;
    for (const Shown& s : shown_)
        if (s.kind == kind)
            out.push_back(s.text);
    return out;
}

FakeDialogs::Expected FakeDialogs::take(Kind kind, std::string title, std::string_view text,
                                        bool posted) {
    shown_.push_back({kind, std::move(title), std::string(text), posted});
    if (expected_.empty()) {
        ADD_FAILURE() << "unexpected " << kindName(kind) << " box: " << text;
        return {kind, std::nullopt, false, std::nullopt, posted};
    }
    Expected e = expected_.front();
    expected_.pop_front();
    if (e.kind != kind) {
        ADD_FAILURE() << "expected a " << kindName(e.kind) << " box, got " << kindName(kind) << ": "
                      << text;
        return {kind, std::nullopt, false, std::nullopt, posted};
    }
    if (e.posted != posted)
        ADD_FAILURE() << "expected the " << kindName(kind) << " box " << text
                      << (e.posted ? " posted, it was modal" : " modal, it was posted");
    if (e.text) {
        EXPECT_EQ(*e.text, std::string(text)) << "text of the " << kindName(kind) << " box";
    }
    return e;
}

void FakeDialogs::showMessage(std::string_view text) {
    take(Kind::Message, platform::programTitle(), text);
}
void FakeDialogs::showError(std::string_view text) {
    take(Kind::Error, "Error", text);
}
void FakeDialogs::postMessage(std::string_view text) {
    take(Kind::Message, platform::programTitle(), text, true);
}
void FakeDialogs::postError(std::string_view text) {
    take(Kind::Error, "Error", text, true);
}
void FakeDialogs::postTrackedError(std::string_view text, std::function<void()> closed) {
    take(Kind::Error, "Error", text, true);
    standing_.push_back(std::move(closed));
}
void FakeDialogs::closeStanding() {
    // A close may post the next box.
    std::vector<std::function<void()>> closing;
    closing.swap(standing_);
    for (const std::function<void()>& closed : closing)
        if (closed)
            closed();
}
bool FakeDialogs::confirm(std::string_view text) {
    return take(Kind::Confirm, "Confirm", text).yes;
}
std::optional<std::string> FakeDialogs::browseForFolder(std::string_view caption,
                                                        std::string_view) {
    return take(Kind::Folder, std::string(caption), caption).path;
}
std::optional<std::string> FakeDialogs::askOpenFile(const platform::FileDialogOptions& options) {
    lastFileOptions_ = options;
    return take(Kind::Open, options.caption, options.caption).path;
}
std::optional<std::string> FakeDialogs::askSaveFile(const platform::FileDialogOptions& options) {
    lastFileOptions_ = options;
    return take(Kind::Save, options.caption, options.caption).path;
}

}  // namespace testing_support
