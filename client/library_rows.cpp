#include "client/library_rows.h"

#include <QTreeWidget>

#include "common/column_width.h"
#include "platform/qt/text_edge.h"
#include "platform/widgets/text_sort.h"

namespace sonpad {

LibraryRows::LibraryRows(QTreeWidget* view) : view_(view) {
    view_->setUpdatesEnabled(false);
    sorting_ = view_->isSortingEnabled();
    view_->setSortingEnabled(false);
    for (int c = 0; c < kColumns; ++c)
        widths_[c] = view_->columnWidth(c);
}

LibraryRows::~LibraryRows() {
    qDeleteAll(rows_);  // rows never handed over
    view_->setSortingEnabled(sorting_);
    view_->setUpdatesEnabled(true);
}

void LibraryRows::Reserve(qsizetype rows) {
    rows_.reserve(rows);
}

void LibraryRows::Add(const std::array<std::string_view, kColumns>& texts, const QStringList& cells,
                      const QIcon& icon) {
    auto* row = new platform::widgets::TextSortItem(cells);
    row->setIcon(0, icon);
    rows_.append(row);
    for (int c = 0; c < kColumns; ++c)
        widths_[c] = kv::FitColumnWidth(texts[c], widths_[c]);
}

void LibraryRows::HandOver() {
    view_->addTopLevelItems(rows_);
    rows_.clear();
    for (int c = 0; c < kColumns; ++c)
        if (widths_[c] != view_->columnWidth(c))
            view_->setColumnWidth(c, widths_[c]);
}

const QString& SharedCells::Cell(const std::string& text) {
    auto found = cells_.find(text);
    if (found == cells_.end())
        found = cells_.emplace(text, platform::latin1(text)).first;
    return found->second;
}

}  // namespace sonpad
