#include "platform/qt/close_on_signals.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <csignal>
#include <functional>

namespace {

class CountingWindow : public QWidget {
  public:
    int closes = 0;

  protected:
    void closeEvent(QCloseEvent* event) override {
        ++closes;
        event->accept();
    }
};

bool waitFor(const std::function<bool()>& done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

TEST(CloseOnSignals, EachSignalClosesTheWindowOnceAsItsUserWould) {
    struct sigaction before = {};
    ::sigaction(SIGHUP, nullptr, &before);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        CountingWindow window;
        window.show();
        platform::CloseOnSignals closer(&window);
        std::raise(signal);
        EXPECT_TRUE(waitFor([&] { return window.closes > 0; }));
        QApplication::processEvents();
        EXPECT_EQ(window.closes, 1);
        EXPECT_FALSE(window.isVisible());
    }
    // Gone with the helper: the earlier handling is back.
    struct sigaction after = {};
    ::sigaction(SIGHUP, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler);
}

TEST(CloseOnSignals, AModalWindowInFrontIsClosedFirst) {
    CountingWindow window;
    window.show();
    platform::CloseOnSignals closer(&window);
    bool dialogReturned = false;
    int closesWhileModal = -1;
    QTimer::singleShot(0, [&] {
        QDialog dialog(&window);
        QTimer::singleShot(0, [] { std::raise(SIGTERM); });
        dialog.exec();
        closesWhileModal = window.closes;
        dialogReturned = true;
    });
    EXPECT_TRUE(waitFor([&] { return window.closes > 0; }));
    EXPECT_TRUE(dialogReturned);
    EXPECT_EQ(closesWhileModal, 0);
    EXPECT_EQ(window.closes, 1);
}

TEST(CloseOnSignals, OneWindowAtATime) {
    QWidget a, b;
    platform::CloseOnSignals first(&a);
    EXPECT_ANY_THROW(platform::CloseOnSignals second(&b));
}

}  // namespace
