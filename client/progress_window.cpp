#include "client/progress_window.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "platform/widgets/status_panels.h"

namespace sonpad {

TaProgress::TaProgress() : QDialog(nullptr) {
    auto* column = new QVBoxLayout(this);
    Label1 = new QLabel(this);
    Label2 = new QLabel(this);
    ProgressBar1 = new QProgressBar(this);
    StatusBar1 = new platform::widgets::StatusPanels(1, this);
    column->addWidget(Label1);
    column->addWidget(Label2);
    column->addWidget(ProgressBar1);
    column->addWidget(StatusBar1);
    FormCreate();
}

void TaProgress::FormCreate() {
    Tag = 1;
}

}  // namespace sonpad
