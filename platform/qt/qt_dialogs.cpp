#include "platform/qt/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "platform/qt/text_edge.h"

namespace platform {
namespace {

QWidget* parentWindow() {
    return QApplication::activeWindow();
}

void plainBox(const QString& title, std::string_view text, QMessageBox::Icon icon) {
    QMessageBox box(icon, title, latin1(text), QMessageBox::NoButton, parentWindow());
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

}  // namespace

void QtDialogs::showMessage(std::string_view text) {
    plainBox(latin1(programTitle()), text, QMessageBox::NoIcon);
}

void QtDialogs::showError(std::string_view text) {
    plainBox(QStringLiteral("Error"), text, QMessageBox::Critical);
}

bool QtDialogs::confirm(std::string_view text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), latin1(text),
                    QMessageBox::NoButton, parentWindow());
    QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

std::optional<std::string> QtDialogs::browseForFolder(std::string_view caption,
                                                      std::string_view root) {
    const QString dir =
        QFileDialog::getExistingDirectory(parentWindow(), latin1(caption), fileName(root));
    if (dir.isEmpty())
        return std::nullopt;
    return fromFileName(dir);
}

std::optional<std::string> QtDialogs::openFile(std::string_view caption, std::string_view folder,
                                               std::string_view filter) {
    const QString f = QFileDialog::getOpenFileName(parentWindow(), latin1(caption),
                                                   fileName(folder), latin1(filter));
    if (f.isEmpty())
        return std::nullopt;
    return fromFileName(f);
}

std::optional<std::string> QtDialogs::saveFile(std::string_view caption, std::string_view folder,
                                               std::string_view filter) {
    const QString f = QFileDialog::getSaveFileName(parentWindow(), latin1(caption),
                                                   fileName(folder), latin1(filter));
    if (f.isEmpty())
        return std::nullopt;
    return fromFileName(f);
}

}  // namespace platform
