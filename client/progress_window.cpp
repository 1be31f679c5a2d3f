#include "client/progress_window.h"

#include <QLabel>
#include <QProgressBar>
#include <QScreen>

#include "platform/widgets/status_panels.h"

namespace sonpad {
namespace {

constexpr int kStatusHeight = 20, kBarHeight = 18, kGap = 4, kMargin = 8;

QLabel* HeaderLine(QWidget* parent, const char* text, bool bold) {
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setBold(bold);
    label->setFont(f);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

}  // namespace

TaProgress::TaProgress() {
    setFixedWidth(kWidth);
    setMinimumHeight(kMinHeight);
    setMaximumHeight(kMaxHeight);
    Label1 = HeaderLine(this, "Reading the MP3 folders", true);
    Label2 = HeaderLine(this, "Please wait...", false);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    StatusBar1 = new platform::widgets::StatusPanels(1, this);
    StatusBar1->setSizeGripEnabled(false);
    FormCreate();
}

void TaProgress::FormCreate() {
    resize(kWidth, kMaxHeight);
    Tag = 1;
    if (QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
}

void TaProgress::SetStatusText(std::string_view text) {
    StatusBar1->SetText(0, text);
}

std::string TaProgress::StatusText() const {
    return StatusBar1->Text(0);
}

void TaProgress::resizeEvent(QResizeEvent* event) {
    ProgressWindow::resizeEvent(event);
    const int statusTop = height() - kStatusHeight;
    const int barTop = statusTop - kGap - kBarHeight;
    StatusBar1->setGeometry(0, statusTop, width(), kStatusHeight);
    ProgressBar1->setGeometry(kMargin, barTop, width() - 2 * kMargin, kBarHeight);
    // The header lines take the room above the bar; the compact window has none.
    const int room = barTop - kGap;
    const int line = room / 2;
    Label1->setGeometry(kMargin, 0, width() - 2 * kMargin, line);
    Label2->setGeometry(kMargin, line, width() - 2 * kMargin, line);
    Label1->setVisible(height() > kMinHeight);
    Label2->setVisible(height() > kMinHeight);
}

}  // namespace sonpad
