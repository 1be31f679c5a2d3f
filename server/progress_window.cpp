#include "server/progress_window.h"

#include <QLabel>
#include <QProgressBar>
#include <QScreen>

namespace sonhall {
namespace {

constexpr int kWidth = 274, kMinHeight = 40, kMaxHeight = 75, kBarHeight = 13;

}  // namespace

TaProgRead::TaProgRead() {
    setWindowTitle("Reading Songs");
    setFixedWidth(kWidth);
    setMinimumHeight(kMinHeight);
    setMaximumHeight(kMaxHeight);
    Label1 = new QLabel("Reading the song folders...", this);
    QFont f = Label1->font();
    f.setBold(true);
    Label1->setFont(f);
    Label1->setAlignment(Qt::AlignCenter);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    FormCreate();
}

void TaProgRead::FormCreate() {
    resize(kWidth, kMaxHeight);
    if (QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
}

void TaProgRead::ShrinkToMinimum() {
    resize(kWidth, kMinHeight);
}

void TaProgRead::resizeEvent(QResizeEvent* event) {
    ProgressWindow::resizeEvent(event);
    ProgressBar1->setGeometry(0, height() - kBarHeight, width(), kBarHeight);
    Label1->setGeometry(8, 0, width() - 16, height() - kBarHeight);
    Label1->setVisible(height() == maximumHeight());
}

}  // namespace sonhall
