#pragma once

#include <QIcon>
#include <QString>
#include <memory>

class QMenu;
class QWidget;

namespace sonpad {

// The program's icon in the desktop's notification area. A right click on it opens the menu
// given when it was added.
class TrayIcon {
  public:
    virtual ~TrayIcon() = default;

    virtual void add(const QIcon& icon, const QString& tip, QMenu* menu) = 0;
    virtual void remove() = 0;
};

// The desktop's notification area, or nothing where there is none or nobody sees it
// (offscreen).
std::unique_ptr<TrayIcon> systemTrayIcon(QWidget* owner);

}  // namespace sonpad
