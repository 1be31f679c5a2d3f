#include "platform/qt/close_on_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>

#include "platform/errors.h"

namespace platform {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The write end of the installed instance's pipe; the handler may do nothing but write to it.
volatile std::sig_atomic_t signalFd = -1;

extern "C" void onSignal(int) {
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds a wake-up; nothing else is async-signal-safe to do here.
    [[maybe_unused]] const ssize_t written = ::write(signalFd, &byte, 1);
    errno = saved;
}

}  // namespace

CloseOnSignals::CloseOnSignals(QWidget* mainWindow) : window_(mainWindow) {
    if (signalFd != -1)
        throw Error("Signals are already taken by another window.");
    if (::pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0)
        throw Error("Cannot create the pipe for signals.");
    signalFd = fds_[1];
    notifier_ = new QSocketNotifier(fds_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { SignalArrived(); });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &action, &previous_[i]);
}

CloseOnSignals::~CloseOnSignals() {
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &previous_[i], nullptr);
    signalFd = -1;
    delete notifier_;
    ::close(fds_[0]);
    ::close(fds_[1]);
}

void CloseOnSignals::SignalArrived() {
    char bytes[64];
    while (::read(fds_[0], bytes, sizeof bytes) > 0) {
    }
    CloseMainWindow();
}

void CloseOnSignals::CloseMainWindow() {
    if (!window_)
        return;
    // A window blocked by a modal one does not take a close; the modal one goes first, as
    // its close button would make it, and the main window is tried again once it has.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != window_) {
        modal->close();
        QTimer::singleShot(50, this, [this] { CloseMainWindow(); });
        return;
    }
    window_->close();
}

}  // namespace platform
