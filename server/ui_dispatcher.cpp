#include "server/ui_dispatcher.h"

#include <QMetaObject>

#include "platform/work_under_way.h"

namespace sonhall {

UiDispatcher::UiDispatcher() : uiThread_(std::this_thread::get_id()) {}

UiDispatcher::~UiDispatcher() = default;

void UiDispatcher::postWake() {
    QMetaObject::invokeMethod(this, &UiDispatcher::deliverOne, Qt::QueuedConnection);
}

void UiDispatcher::call(const std::function<void()>& job) {
    if (onUiThread()) {
        Job direct{&job, nullptr, false, {}};
        run(direct);
        if (direct.error)
            std::rethrow_exception(direct.error);
        return;
    }
    Job posted{&job, nullptr, false, {}};
    std::unique_lock lock(mutex_);
    queue_.push_back(&posted);
    postWake();
    changed_.notify_all();
    posted.finished.wait(lock, [&] { return posted.done; });
    lock.unlock();
    if (posted.error)
        std::rethrow_exception(posted.error);
}

void UiDispatcher::deliverOne() {
    Job* job = nullptr;
    {
        std::lock_guard lock(mutex_);
        if (queue_.empty())
            return;  // already run by serveWhile
        job = queue_.front();
        queue_.pop_front();
    }
    run(*job);
}

void UiDispatcher::run(Job& job) {
    ++depth_;
    {
        // What must not happen in a job's middle waits for its end (platform::whenWorkEnds).
        const platform::WorkUnderWay work;
        try {
            (*job.fn)();
        } catch (...) {
            job.error = std::current_exception();
        }
    }
    --depth_;
    {
        // The waiter may leave (and its job go) as soon as the lock is released.
        std::lock_guard lock(mutex_);
        job.done = true;
        job.finished.notify_one();
    }
    if (depth_ == 0 && onIdle)
        onIdle();
}

void UiDispatcher::serveWhile(const std::function<void()>& blocking) {
    std::exception_ptr error;
    bool finished = false;
    std::thread helper([&] {
        try {
            blocking();
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard lock(mutex_);
        finished = true;
        changed_.notify_all();
    });
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return finished || !queue_.empty(); });
        if (!queue_.empty()) {
            Job* job = queue_.front();
            queue_.pop_front();
            lock.unlock();
            run(*job);
            lock.lock();
        } else if (finished) {
            break;
        }
    }
    lock.unlock();
    helper.join();
    if (error)
        std::rethrow_exception(error);
}

}  // namespace sonhall
