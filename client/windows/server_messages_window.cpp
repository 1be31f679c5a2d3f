#include "client/windows/server_messages_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QFont>
#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QVBoxLayout>

#include "client/main_window.h"

namespace sonpad {

TaServer::TaServer(ClientForms& forms) : QWidget(nullptr, Qt::Window), forms_(forms) {
    setWindowTitle("Messages received from Sonhall");
    resize(395, 331);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    ListBox1 = new QListWidget(this);
    QPalette p = ListBox1->palette();
    p.setColor(QPalette::Base, QColor(192, 192, 192));
    ListBox1->setPalette(p);
    QFont font("Courier New", 8);
    font.setStyleHint(QFont::Monospace);
    ListBox1->setFont(font);
    column->addWidget(ListBox1);
}

void TaServer::FormClose() {
    if (forms_.aMain)
        forms_.aMain->ShowServerMessages1->setChecked(false);
}

void TaServer::closeEvent(QCloseEvent* event) {
    FormClose();
    QWidget::closeEvent(event);
}

}  // namespace sonpad
