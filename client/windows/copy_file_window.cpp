#include "client/windows/copy_file_window.h"

#include <QScreen>
#include <QVBoxLayout>

#include "platform/widgets/gauge.h"

namespace sonpad {

TaCopyFile::TaCopyFile() {
    setFixedSize(300, 50);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    Gauge1 = new platform::widgets::Gauge(this, platform::widgets::Gauge::Kind::HorizontalBar);
    Gauge1->SetColors(QColor(0, 255, 0), QColor(0, 128, 0));
    Gauge1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);  // fills the window
    column->addWidget(Gauge1);
    if (QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
}

}  // namespace sonpad
