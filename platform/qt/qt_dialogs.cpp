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
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return std::nullopt;
    return fromFileName(chooser.selectedFiles().front());
}

}  // namespace

std::optional<std::string> QtDialogs::askOpenFile(const FileDialogOptions& options) {
    return chooseFile(options, false);
}

std::optional<std::string> QtDialogs::askSaveFile(const FileDialogOptions& options) {
    return chooseFile(options, true);
}

}  // namespace platform
