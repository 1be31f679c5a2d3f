// The record of work under way without a toolkit: one event loop level, and what waits for the
// work runs as soon as the last work has ended.
#include "platform/work_under_way.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using Kind = platform::WorkUnderWay::Kind;

TEST(WorkUnderWay, EachKindIsWorkThatWhatWaitsWaitsFor) {
    const struct {
        Kind kind;
        bool isLong, isScan;
    } kinds[] = {
        {Kind::Short, false, false},   {Kind::StartUpDue, false, false},
        {Kind::StartUp, false, false}, {Kind::Long, true, false},
        {Kind::Scan, true, true},
    };
    for (const auto& k : kinds) {
        SCOPED_TRACE(static_cast<int>(k.kind));
        bool ran = false;
        {
            const platform::WorkUnderWay work(k.kind);
            EXPECT_TRUE(platform::workUnderWay());
            EXPECT_TRUE(platform::workUnderWay(k.kind));
            EXPECT_EQ(platform::longWorkUnderWay(), k.isLong);
            EXPECT_EQ(platform::scanUnderWay(), k.isScan);
            EXPECT_FALSE(platform::outsideLongWork()) << "the work's own code";
            platform::whenWorkEnds([&] { ran = true; });
            EXPECT_TRUE(platform::workEndAwaited());
            EXPECT_FALSE(ran);
        }
        EXPECT_TRUE(ran);
        EXPECT_FALSE(platform::workUnderWay());
        EXPECT_FALSE(platform::workUnderWay(k.kind));
        EXPECT_FALSE(platform::longWorkUnderWay());
        EXPECT_FALSE(platform::workEndAwaited());
    }
}

// A job inside a rescan: the rescan lets it in, and while the job's own long work runs, its code
// is inside; once that work lets events in, or the job is done, what comes is outside again.
TEST(WorkUnderWay, WhatLongWorkLetsInIsOutsideItUntilItsOwnWorkRuns) {
    const platform::WorkUnderWay scan(Kind::Scan);
    EXPECT_FALSE(platform::outsideLongWork());
    EXPECT_FALSE(platform::longWorkLettingEventsInHere());
    {
        const platform::LettingEventsIn letIn;
        EXPECT_TRUE(platform::outsideLongWork());
        EXPECT_TRUE(platform::longWorkLettingEventsInHere());
        {
            const platform::WorkUnderWay job;  // short: the rescan's let-in still counts
            EXPECT_TRUE(platform::outsideLongWork());
        }
        {
            const platform::WorkUnderWay load(Kind::Long);
            EXPECT_FALSE(platform::outsideLongWork());
            EXPECT_TRUE(platform::longWorkLettingEventsInHere()) << "the rescan's still runs";
            const platform::LettingEventsIn loadLetsIn;
            EXPECT_TRUE(platform::outsideLongWork());
        }
        EXPECT_TRUE(platform::outsideLongWork());
    }
    EXPECT_FALSE(platform::outsideLongWork());
    EXPECT_FALSE(platform::longWorkLettingEventsInHere());
}

// A start-up that is due is kept by its window and ends once the start-up has begun, out of
// turn: what waits still waits for the start-up's end.
TEST(WorkUnderWay, WorkEndingOutOfTurnLeavesTheRestAndWhatWaitsRunsAfterTheLast) {
    std::vector<std::string> ran;
    std::optional<platform::WorkUnderWay> due(std::in_place, Kind::StartUpDue);
    platform::whenWorkEnds([&] { ran.push_back("close"); });
    {
        const platform::WorkUnderWay startUp(Kind::StartUp);
        due.reset();
        EXPECT_FALSE(platform::workUnderWay(Kind::StartUpDue));
        EXPECT_TRUE(platform::workUnderWay(Kind::StartUp));
        {
            const platform::WorkUnderWay scan(Kind::Scan);
            EXPECT_TRUE(platform::scanUnderWay());
            EXPECT_FALSE(platform::outsideLongWork());
        }
        EXPECT_FALSE(platform::longWorkUnderWay());
        EXPECT_TRUE(ran.empty());
    }
    EXPECT_EQ(ran, std::vector<std::string>{"close"});
    EXPECT_FALSE(platform::workUnderWay());
}

}  // namespace
