#pragma once

#include <QWidget>
#include <functional>
#include <string>

class QTextBrowser;

namespace platform::widgets {

// The program's help viewer: one window showing an HTML help file, where the topic of help
// context n starts at the anchor "topic-n".
class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Loads the file (unless it is the one already shown) and scrolls to the topic; a context
    // the file has no topic for shows the beginning. Raises platform::Error
    // "Help file not found. (" + helpFile + ")" when the file is missing or unreadable.
    void showTopic(const std::string& helpFile, int context);

    const std::string& fileName() const { return fileName_; }
    QTextBrowser* browser() const { return browser_; }

  private:
    QTextBrowser* browser_;
    std::string fileName_;
};

// Opens the program's one help window at the topic of a help context number, creating it on
// first use as a window owned by owner (deleted with it; with no owner it deletes itself when
// closed or when the application quits) and reusing it afterwards; it is shown and raised.
// While a modal window is up (F1 in a modal window), the help window is that window's own, so
// the modal window does not block it. Errors as HelpWindow::showTopic; a call that fails
// creates no window.
void showHelp(QWidget* owner, const std::string& helpFile, int context);

// F1 in the window opens the help file's topic of the context the function gives at that
// moment; a failure shows in the error box.
void AddHelpKey(QWidget* window, std::function<std::string()> helpFile,
                std::function<int()> context);

// The help window, or nullptr while there is none.
HelpWindow* currentHelpWindow();

}  // namespace platform::widgets
