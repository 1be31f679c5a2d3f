#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>
#include <functional>

namespace widgets_test {

// Runs the event loop until done() holds or the (generous) time is up; true when it held.
inline bool waitUntil(const std::function<bool()>& done, int timeoutMs = 10'000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(10);
    }
    return true;
}

}  // namespace widgets_test
