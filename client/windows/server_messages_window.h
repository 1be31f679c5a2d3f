#pragma once

#include <QWidget>

class QListWidget;

namespace sonpad {

// The window of the lines received from the server.
class TaServer : public QWidget {
    Q_OBJECT
  public:
    TaServer();

    QListWidget* ListBox1 = nullptr;
};

}  // namespace sonpad
