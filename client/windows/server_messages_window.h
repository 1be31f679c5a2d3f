#pragma once

#include <QWidget>

#include "client/client_forms.h"

class QListWidget;

namespace sonpad {

// The window of the lines received from the server. Closing it only hides it; its lines stay.
class TaServer : public QWidget {
    Q_OBJECT
  public:
    explicit TaServer(ClientForms& forms);

    QListWidget* ListBox1 = nullptr;

    void FormClose();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    ClientForms& forms_;
};

}  // namespace sonpad
