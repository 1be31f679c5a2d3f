// Connection threads handing their work to the user-interface thread.
#include "server/ui_dispatcher.h"

#include <QCoreApplication>
#include <atomic>
#include <future>
#include <stdexcept>
#include <thread>

#include "tests/server/server_test_support.h"

namespace server_testing {
namespace {

using sonhall::UiDispatcher;

TEST(UiDispatcher, JobsRunOnTheUserInterfaceThreadInEachThreadsOrder) {
    UiDispatcher dispatcher;
    const auto ui = std::this_thread::get_id();
    std::vector<std::pair<int, int>> ran;
    std::atomic<int> finished{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 20; ++i) {
                dispatcher.call([&, t, i] {
                    EXPECT_EQ(std::this_thread::get_id(), ui);
                    ran.emplace_back(t, i);
                });
            }
            ++finished;
        });
    }
    EXPECT_TRUE(WaitUntil([&] { return finished == 3; }));
    for (auto& t : threads)
        t.join();
    ASSERT_EQ(ran.size(), 60u);
    std::vector<int> next(3, 0);
    for (auto [t, i] : ran)
        EXPECT_EQ(i, next[t]++);
}

TEST(UiDispatcher, AnErrorInAJobIsRaisedInTheCallingThread) {
    UiDispatcher dispatcher;
    std::promise<std::string> caught;
    std::thread worker([&] {
        try {
            dispatcher.call([] { throw std::runtime_error("bad line"); });
            caught.set_value("nothing");
        } catch (const std::exception& e) {
            caught.set_value(e.what());
        }
    });
    auto result = caught.get_future();
    EXPECT_TRUE(WaitUntil(
        [&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    worker.join();
    EXPECT_EQ(result.get(), "bad line");
}

TEST(UiDispatcher, AJobThatLetsEventsInLetsOtherThreadsJobsRunMeanwhile) {
    // As a rescan does: one connection waits for its long job while another gets answers.
    UiDispatcher dispatcher;
    std::atomic<bool> longJobStarted{false}, shortJobRan{false};
    int depthInShortJob = 0;
    std::thread requester([&] {
        dispatcher.call([&] {
            longJobStarted = true;
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (!shortJobRan && std::chrono::steady_clock::now() < end)
                QCoreApplication::processEvents();
        });
    });
    std::thread other([&] {
        while (!longJobStarted)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        dispatcher.call([&] {
            depthInShortJob = dispatcher.depth();
            shortJobRan = true;
        });
    });
    EXPECT_TRUE(WaitUntil([&] { return shortJobRan.load(); }));
    requester.join();
    other.join();
    EXPECT_EQ(depthInShortJob, 2);
    EXPECT_EQ(dispatcher.depth(), 0);
}

TEST(UiDispatcher, ServeWhileRunsTheJobsOfTheThreadsItWaitsFor) {
    UiDispatcher dispatcher;
    bool jobRan = false;
    std::thread worker;
    dispatcher.serveWhile([&] {
        // A blocking call that waits for a thread which itself waits for a job.
        worker = std::thread([&] { dispatcher.call([&] { jobRan = true; }); });
        worker.join();
    });
    EXPECT_TRUE(jobRan);
}

TEST(UiDispatcher, OnTheUserInterfaceThreadACallRunsAtOnce) {
    UiDispatcher dispatcher;
    int idle = 0;
    dispatcher.onIdle = [&] { ++idle; };
    bool ran = false;
    dispatcher.call([&] {
        dispatcher.call([&] { ran = true; });
        EXPECT_EQ(idle, 0);
    });
    EXPECT_TRUE(ran);
    EXPECT_EQ(idle, 1);
    EXPECT_THROW(dispatcher.call([] { throw std::runtime_error("x"); }), std::runtime_error);
}

}  // namespace
}  // namespace server_testing
