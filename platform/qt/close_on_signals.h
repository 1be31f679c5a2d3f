#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <csignal>

class QSocketNotifier;

namespace platform {

// SIGTERM, SIGINT and SIGHUP (a terminal's Ctrl+C, a session that ends, a service manager)
// close the main window as its user would, so the program's own close handling runs and the
// program ends as it does after that close. Modal windows in front are closed first, as the
// user would have to. One at a time per process; the signals' earlier handling comes back
// when it goes.
class CloseOnSignals : public QObject {
  public:
    explicit CloseOnSignals(QWidget* mainWindow);
    ~CloseOnSignals() override;
    CloseOnSignals(const CloseOnSignals&) = delete;
    CloseOnSignals& operator=(const CloseOnSignals&) = delete;

  private:
    void SignalArrived();
    void CloseMainWindow();

    QPointer<QWidget> window_;
    QSocketNotifier* notifier_ = nullptr;
    int fds_[2] = {-1, -1};  // the signal handler writes a byte to fds_[1]
    struct sigaction previous_[3] = {};
};

}  // namespace platform
