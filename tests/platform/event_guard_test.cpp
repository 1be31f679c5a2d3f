#include "platform/event_guard.h"

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "tests/support/fake_dialogs.h"

namespace {

TEST(EventGuard, ShowsTheErrorAndSkipsTheRestOfTheHandler) {
    testing_support::FakeDialogs dialogs;
    dialogs.expectError("'X' is not a valid integer value");
    bool after = false;
    platform::guarded([&] {
        throw platform::Error("'X' is not a valid integer value");
        after = true;
    });
    EXPECT_FALSE(after);
    EXPECT_EQ(dialogs.shown().at(0).title, "Error");
}

TEST(EventGuard, HandlerWithoutErrorShowsNothing) {
    testing_support::FakeDialogs dialogs;
    int runs = 0;
    platform::guarded([&] { ++runs; });
    EXPECT_EQ(runs, 1);
}

TEST(EventGuard, NonStandardExceptionsAreCaughtToo) {
    testing_support::FakeDialogs dialogs;
    dialogs.expectError("Unknown error");
    platform::guarded([] { throw 42; });
}

}  // namespace
