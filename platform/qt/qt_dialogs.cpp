#include "platform/qt/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>

#include "platform/qt/non_input_events.h"
#include "platform/qt/text_edge.h"

namespace platform {
namespace {

// A box that long work shows waits for the user: over it the pointer is the usual one.
class UsualPointer {
  public:
    UsualPointer() : set_(longWorkUnderWay()) {
        if (set_)
            QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~UsualPointer() {
        if (set_)
            QApplication::restoreOverrideCursor();
    }
    UsualPointer(const UsualPointer&) = delete;
    UsualPointer& operator=(const UsualPointer&) = delete;

  private:
    bool set_;
};

QWidget* parentWindow() {
    // Above a modal window, so that a box it brings up can be used.
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

// What a box nobody can see would have shown, and the button that answered it.
void report(std::string_view title, std::string_view text, std::string_view answer) {
    std::fprintf(stderr, "%.*s: %.*s [%.*s]\n", static_cast<int>(title.size()), title.data(),
                 static_cast<int>(text.size()), text.data(), static_cast<int>(answer.size()),
                 answer.data());
    std::fflush(stderr);
}

// The window manager shows the title in a bold title font beside the frame's icon and its
// buttons; a box only as wide as a short text cuts it to "...".
constexpr int kTitleBarExtras = 120;

void keepTitleWhole(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setBold(true);
    const int width = QFontMetrics(font).horizontalAdvance(box.windowTitle()) + kTitleBarExtras;
    // The box sizes itself to its layout's minimum, so the width goes in as a row of its own.
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

void addOk(QMessageBox& box) {
    box.setDefaultButton(box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole));
}

// A plain or error box: written out without a display, else shown, modal or posted. A posted
// box that is closed (its button, its close box, Escape) runs `closed`.
void plainBox(bool headless, std::string_view title, std::string_view text, QMessageBox::Icon icon,
              BoxWait wait, std::function<void()> closed = {}) {
    if (headless) {
        report(title, text, "OK");
        if (closed)
            closed();
        return;
    }
    if (wait == BoxWait::UntilClosed) {
        QMessageBox box(icon, boxText(title), boxText(text), QMessageBox::NoButton, parentWindow());
        addOk(box);
        keepTitleWhole(box);
        const UsualPointer pointer;
        box.exec();
        return;
    }
    auto* box =
        new QMessageBox(icon, boxText(title), boxText(text), QMessageBox::NoButton, parentWindow());
    addOk(*box);
    keepTitleWhole(*box);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    qt::takesInputDuringWork(*box);
    if (closed)
        QObject::connect(box, &QDialog::finished, [closed = std::move(closed)] { closed(); });
    box->show();
}

}  // namespace

bool runsWithoutDisplay() {
    const QString name = QGuiApplication::platformName();
    return name == QLatin1String("offscreen") || name == QLatin1String("minimal");
}

QtDialogs::QtDialogs(Display display)
    : headless_(display == Display::Absent ||
                (display == Display::Detect && runsWithoutDisplay())) {}

void QtDialogs::showMessage(std::string_view text) {
    plainBox(headless_, programTitle(), text, QMessageBox::NoIcon, BoxWait::UntilClosed);
}

void QtDialogs::showError(std::string_view text) {
    plainBox(headless_, "Error", text, QMessageBox::Critical, BoxWait::UntilClosed);
}

void QtDialogs::postMessage(std::string_view text) {
    plainBox(headless_, programTitle(), text, QMessageBox::NoIcon, BoxWait::No);
}

void QtDialogs::postError(std::string_view text) {
    plainBox(headless_, "Error", text, QMessageBox::Critical, BoxWait::No);
}

void QtDialogs::postTrackedError(std::string_view text, std::function<void()> closed) {
    plainBox(headless_, "Error", text, QMessageBox::Critical, BoxWait::No, std::move(closed));
}

bool QtDialogs::confirm(std::string_view text) {
    // Yes is the default button, as on the platform the programs come from.
    if (headless_) {
        report("Confirm", text, "Yes");
        return true;
    }
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), boxText(text),
                    QMessageBox::NoButton, parentWindow());
    QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    keepTitleWhole(box);
    const UsualPointer pointer;
    box.exec();
    return box.clickedButton() == yes;
}

std::optional<std::string> QtDialogs::browseForFolder(std::string_view caption,
                                                      std::string_view root) {
    if (headless_) {
        report(caption, root, "Cancel");
        return std::nullopt;
    }
    const QString dir =
        QFileDialog::getExistingDirectory(parentWindow(), latin1(caption), fileName(root));
    if (dir.isEmpty())
        return std::nullopt;
    return fromFileName(dir);
}

namespace {

std::optional<std::string> chooseFile(const FileDialogOptions& options, bool save) {
    QFileDialog chooser(parentWindow(), latin1(options.caption), fileName(options.folder),
                        latin1(options.filter));
    chooser.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Neither chooser asks: a save replaces, an open may name a file not there yet.
    chooser.setFileMode(QFileDialog::AnyFile);
    chooser.setOption(QFileDialog::DontConfirmOverwrite);
    if (!options.fileName.empty())
        chooser.selectFile(fileName(options.fileName));
    const UsualPointer pointer;
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return std::nullopt;
    return fromFileName(chooser.selectedFiles().front());
}

}  // namespace

std::optional<std::string> QtDialogs::askOpenFile(const FileDialogOptions& options) {
    if (headless_) {
        report(options.caption, options.folder, "Cancel");
        return std::nullopt;
    }
    return chooseFile(options, false);
}

std::optional<std::string> QtDialogs::askSaveFile(const FileDialogOptions& options) {
    if (headless_) {
        report(options.caption, options.folder, "Cancel");
        return std::nullopt;
    }
    return chooseFile(options, true);
}

}  // namespace platform
