#include "platform/widgets/text_sort.h"

namespace platform::widgets {

bool TextSortItem::operator<(const QTreeWidgetItem& other) const {
    const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
    return text(column).compare(other.text(column), Qt::CaseInsensitive) < 0;
}

void SortRowsByColumnText(QTreeWidget* view, int column) {
    if (column < 0 || column >= view->columnCount())
        return;
    view->sortItems(column, Qt::AscendingOrder);
}

}  // namespace platform::widgets
