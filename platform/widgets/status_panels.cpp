#include "platform/widgets/status_panels.h"

#include <QHBoxLayout>
#include <QLabel>

#include "platform/qt/text_edge.h"
#include "platform/widgets/live_tool_tip.h"

namespace platform::widgets {

StatusPanels::StatusPanels(int panelCount, QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
    // One row of our own: the bar's own layout does not follow width changes of its widgets.
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (int i = 0; i < panelCount; ++i) {
        auto* label = new QLabel(row);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setContentsMargins(2, 0, 2, 0);
        label->setMinimumWidth(1);
        QFont f = label->font();
        f.setPointSizeF(f.pointSizeF() * 0.9);
        label->setFont(f);
        // The last panel reaches to the right edge.
        layout->addWidget(label, i == panelCount - 1 ? 1 : 0);
        panels_.push_back(label);
    }
    addWidget(row, 1);
}

void StatusPanels::SetText(int panel, std::string_view text) {
    QLabel* label = panels_.at(static_cast<size_t>(panel));
    label->setText(platform::latin1(text));
    // A fixed-width panel may cut a long text (the uptime); the whole text is a hover away,
    // and a tip on the screen follows the text.
    SetLiveToolTip(label, label->text());
}

std::string StatusPanels::Text(int panel) const {
    return platform::fromLatin1(panels_.at(static_cast<size_t>(panel))->text());
}

void StatusPanels::SetWidth(int panel, int width) {
    QLabel* label = panels_.at(static_cast<size_t>(panel));
    if (static_cast<size_t>(panel) + 1 == panels_.size())
        label->setMinimumWidth(width);
    else
        label->setFixedWidth(width);
}

int StatusPanels::Width(int panel) const {
    return panels_.at(static_cast<size_t>(panel))->minimumWidth();
}

int StatusPanels::FittingWidth(int panel, std::string_view text) const {
    const QLabel* label = panels_.at(static_cast<size_t>(panel));
    // A label of the same make measures it as the panel itself would.
    QLabel probe(platform::latin1(text));
    probe.setFont(label->font());
    probe.setFrameStyle(label->frameStyle());
    probe.setContentsMargins(label->contentsMargins());
    probe.setIndent(label->indent());
    probe.setMargin(label->margin());
    return probe.sizeHint().width();
}

void StatusPanels::SetAlignment(int panel, Qt::Alignment alignment) {
    panels_.at(static_cast<size_t>(panel))->setAlignment(alignment | Qt::AlignVCenter);
}

}  // namespace platform::widgets
