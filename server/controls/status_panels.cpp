#include "server/controls/status_panels.h"

#include <QLabel>

#include "platform/qt/text_edge.h"

namespace sonhall {

StatusPanels::StatusPanels(int panelCount, QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
    for (int i = 0; i < panelCount; ++i) {
        auto* label = new QLabel(this);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setContentsMargins(3, 0, 3, 0);
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        addWidget(label);
        panels_.push_back(label);
    }
}

void StatusPanels::SetText(int panel, std::string_view text) {
    panels_.at(static_cast<size_t>(panel))->setText(platform::latin1(text));
}

std::string StatusPanels::Text(int panel) const {
    return platform::fromLatin1(panels_.at(static_cast<size_t>(panel))->text());
}

void StatusPanels::SetWidth(int panel, int width) {
    panels_.at(static_cast<size_t>(panel))->setFixedWidth(width);
}

int StatusPanels::Width(int panel) const {
    return panels_.at(static_cast<size_t>(panel))->minimumWidth();
}

}  // namespace sonhall
