#include "client/windows/server_messages_window.h"

#include <QFont>
#include <QListWidget>
#include <QVBoxLayout>

namespace sonpad {

TaServer::TaServer() : QWidget(nullptr, Qt::Window) {
    setWindowTitle("Messages received from Sonhall");
    resize(395, 331);
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

}  // namespace sonpad
