#pragma once

#include <QDialog>

class QKeyEvent;

namespace platform::widgets {

// A form shown as a dialog, modal or not, that has no cancel button: every close (its own
// button, the window frame, done) runs FormClose first inside the error guard, and an error
// there keeps the window open. Escape does not close it.
class FormDialog : public QDialog {
    Q_OBJECT
  public:
    using QDialog::QDialog;

    virtual void FormClose() {}
    void done(int result) override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace platform::widgets
