#include "platform/widgets/report_view.h"

#include <QHeaderView>

namespace platform::widgets {

QTreeWidget* NewReportView(QWidget* parent, const QStringList& titles,
                           std::initializer_list<int> widths) {
    auto* view = new QTreeWidget(parent);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setHeaderLabels(titles);
    view->header()->setSectionsClickable(true);
    view->header()->setSortIndicatorShown(false);
    int column = 0;
    for (const int width : widths)
        view->setColumnWidth(column++, width);
    return view;
}

}  // namespace platform::widgets
