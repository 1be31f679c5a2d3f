#pragma once

#include <QTreeWidget>
#include <QTreeWidgetItem>

namespace platform::widgets {

// The list views' text order: a to z compare as A to Z, everything else by character code.
int CompareListText(const QString& a, const QString& b);

// A list-view row ordered by the text of the view's sort column in that order.
class TextSortItem : public QTreeWidgetItem {
  public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override;
};

// Sorts the rows once by the column's text, ascending (numbers as text: 10 before 9). Rows
// added later go to the bottom.
void SortRowsByColumnText(QTreeWidget* view, int column);

}  // namespace platform::widgets
