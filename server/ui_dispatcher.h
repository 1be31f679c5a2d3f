#pragma once

#include <QObject>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace sonhall {

// Hands work from connection threads to the user-interface thread, which owns every widget
// and all server state. A connection thread posts a job and waits until it has run there, so
// the effects of one connection's lines keep their order. Each job is delivered by an event
// of its own, so a job that lets events in (the rescan does) lets the other connections' jobs
// run meanwhile, nested inside it.
class UiDispatcher : public QObject {
    Q_OBJECT
  public:
    UiDispatcher();  // on the user-interface thread
    ~UiDispatcher() override;

    // Runs job on the user-interface thread and returns when it has run; an exception from
    // the job is raised here again. Called on the user-interface thread, it runs job at once.
    void call(const std::function<void()>& job);

    // User-interface thread only: runs blocking on a helper thread and keeps running posted
    // jobs until it returns (and no other events meanwhile). For calls that wait for
    // connection threads, such as closing the listener, which would otherwise wait for a
    // thread that waits for us. Its exception is raised here again.
    void serveWhile(const std::function<void()>& blocking);

    // Jobs now running on the user-interface thread's stack (nested jobs count each).
    int depth() const { return depth_; }
    bool onUiThread() const { return std::this_thread::get_id() == uiThread_; }

    // Called on the user-interface thread each time the outermost job has ended.
    std::function<void()> onIdle;

  private:
    struct Job {
        const std::function<void()>* fn;
        std::exception_ptr error;
        bool done = false;
        std::condition_variable finished;  // wakes only this job's caller
    };
    void deliverOne();
    void run(Job& job);
    void postWake();  // with mutex_ held

    std::thread::id uiThread_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job*> queue_;
    int depth_ = 0;
};

}  // namespace sonhall
