#include "server/play_log_window.h"

#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/dialogs.h"
#include "platform/event_guard.h"
#include "platform/qt/clock_texts.h"
#include "platform/qt/text_edge.h"
#include "platform/widgets/report_view.h"
#include "platform/widgets/text_sort.h"
#include "server/data_module.h"

namespace sonhall {

TaPlaylog::TaPlaylog(const ServerEnvironment& env) : QWidget(nullptr), env_(env) {
    setWindowTitle("Server Song Play Log");
    resize(600, 320);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    GroupBox1 = new QGroupBox("|  Play Log  |", this);
    auto* inner = new QVBoxLayout(GroupBox1);
    inner->setContentsMargins(4, 4, 4, 4);
    ListView1 = platform::widgets::NewReportView(
        GroupBox1, {"#", "Date", "Time", "Song Id", "Filename", "Comments"}, {30, 70, 70, 60, 150});
    ListView1->header()->setStretchLastSection(true);
    ListView1->header()->setMinimumSectionSize(20);
    inner->addWidget(ListView1);
    column->addWidget(GroupBox1);

    connect(ListView1->header(), &QHeaderView::sectionClicked, this,
            [this](int c) { platform::guarded([this, c] { ListView1ColumnClick(c); }); });
    ListView1->viewport()->installEventFilter(this);
    FormCreate();
}

void TaPlaylog::FormCreate() {
    SortColumn = 0;
}

void TaPlaylog::AddEntry(std::string_view songId, std::string_view fileName) {
    const QDateTime now = env_.now();
    auto* row = new platform::widgets::TextSortItem();
    ListView1->addTopLevelItem(row);
    row->setText(0, QString::number(ListView1->topLevelItemCount()));
    row->setText(1, platform::latin1(platform::ShortDateText(now.date())));
    row->setText(2, platform::latin1(platform::LongTimeText(now.time())));
    row->setText(3, platform::latin1(songId));
    row->setText(4, platform::fileName(fileName));
    for (int c = 0; c <= 4; ++c) {
        const std::string text = platform::fromLatin1(row->text(c));
        ListView1->setColumnWidth(c, TaDm::ColumnWidthFor(text, ListView1->columnWidth(c)));
    }
}

void TaPlaylog::ListView1ColumnClick(int column) {
    SortColumn = column;
    platform::widgets::SortRowsByColumnText(ListView1, SortColumn);
}

bool TaPlaylog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListView1->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        platform::guarded([this] { ListView1DblClick(); });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TaPlaylog::ListView1DblClick() {
    if (platform::dialogs().confirm("Clear list. Are you sure?"))
        ListView1->clear();
}

}  // namespace sonhall
