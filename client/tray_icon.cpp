#include "client/tray_icon.h"

#include <QMenu>
#include <QSystemTrayIcon>

#include "platform/qt/qt_dialogs.h"

namespace sonpad {
namespace {

class SystemTrayIcon : public TrayIcon {
  public:
    explicit SystemTrayIcon(QWidget* owner) : icon_(owner) {}

    void add(const QIcon& icon, const QString& tip, QMenu* menu) override {
        icon_.setIcon(icon);
        icon_.setToolTip(tip);
        // The desktop opens the menu on a right click; some desktops show nothing else.
        icon_.setContextMenu(menu);
        icon_.show();
    }
    void remove() override { icon_.hide(); }

  private:
    QSystemTrayIcon icon_;
};

}  // namespace

std::unique_ptr<TrayIcon> systemTrayIcon(QWidget* owner) {
    if (platform::runsWithoutDisplay() || !QSystemTrayIcon::isSystemTrayAvailable())
        return nullptr;
    return std::make_unique<SystemTrayIcon>(owner);
}

}  // namespace sonpad
