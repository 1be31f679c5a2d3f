#include "platform/widgets/text_sort.h"

#include <string_view>

#include "platform/ascii.h"

namespace platform::widgets {

int CompareListText(const QString& a, const QString& b) {
    const auto units = [](const QString& s) {
        return std::u16string_view(reinterpret_cast<const char16_t*>(s.utf16()),
                                   static_cast<size_t>(s.size()));
    };
    return ascii::compareNoCaseAz(units(a), units(b));
}

bool TextSortItem::operator<(const QTreeWidgetItem& other) const {
    const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
    return CompareListText(text(column), other.text(column)) < 0;
}

void SortRowsByColumnText(QTreeWidget* view, int column) {
    if (column < 0 || column >= view->columnCount())
        return;
    view->sortItems(column, Qt::AscendingOrder);
}

}  // namespace platform::widgets
