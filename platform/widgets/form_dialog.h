#pragma once

#include <QDialog>

class QKeyEvent;

namespace platform::widgets {

// A form shown as a dialog, modal or not, that has no cancel button: every close (its own
// button, the window frame, done) runs FormClose first inside the error guard, and an error
// there keeps the window open. Escape does not close it. A close while long work runs (a scan
// reads the folder list the close's save reloads) takes effect once the work has ended.
class FormDialog : public QDialog {
    Q_OBJECT
  public:
    using QDialog::QDialog;

    virtual void FormClose() {}
    void done(int result) override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    bool closePending_ = false;
};

}  // namespace platform::widgets
