#include "client/library_rows.h"

#include <QTreeWidget>

#include "common/column_width.h"
#include "platform/qt/text_edge.h"

namespace sonpad {
namespace {

constexpr int kFolderColumn = 7, kFileNameColumn = 8;

bool IsText(int role) {
    return role == Qt::DisplayRole || role == Qt::EditRole;
}

}  // namespace

LibraryRow::LibraryRow(const std::array<std::string_view, kColumns>& texts, const QIcon& icon) {
    size_t size = 0;
    for (const std::string_view text : texts)
        size += text.size();
    bytes_.reserve(size);
    for (int c = 0; c < kColumns; ++c) {
        starts_[static_cast<size_t>(c)] = static_cast<std::uint32_t>(bytes_.size());
        bytes_ += texts[static_cast<size_t>(c)];
    }
    starts_[kColumns] = static_cast<std::uint32_t>(bytes_.size());
    setIcon(0, icon);
    // All nine columns counted, as for a row whose texts were set one by one.
    TextSortItem::setData(kColumns - 1, Qt::UserRole, QVariant());
}

std::string_view LibraryRow::Bytes(int column) const {
    const auto c = static_cast<size_t>(column);
    return std::string_view(bytes_).substr(starts_[c], starts_[c + 1] - starts_[c]);
}

QVariant LibraryRow::data(int column, int role) const {
    if (!IsText(role) || column < 0 || column >= kColumns || (setLater_ & (1u << column)))
        return TextSortItem::data(column, role);
    const std::string_view bytes = Bytes(column);
    if (column == kFolderColumn || column == kFileNameColumn)
        return platform::fileName(bytes);
    return platform::latin1(bytes);
}

void LibraryRow::setData(int column, int role, const QVariant& value) {
    if (IsText(role) && column >= 0 && column < kColumns)
        setLater_ = static_cast<std::uint16_t>(setLater_ | (1u << column));
    TextSortItem::setData(column, role, value);
}

QTreeWidgetItem* LibraryRow::clone() const {
    return new LibraryRow(*this);
}

LibraryRows::LibraryRows(QTreeWidget* view) : view_(view) {
    // Only a list that sorts itself is switched: switching sorting off also makes the column
    // titles unclickable, and the windows sort on those clicks themselves.
    sorting_ = view_->isSortingEnabled();
    if (sorting_)
        view_->setSortingEnabled(false);
    for (int c = 0; c < kColumns; ++c)
        widths_[static_cast<size_t>(c)] = view_->columnWidth(c);
}

LibraryRows::~LibraryRows() {
    qDeleteAll(rows_);  // rows never handed over
    if (sorting_)
        view_->setSortingEnabled(true);
}

void LibraryRows::Reserve(qsizetype rows) {
    rows_.reserve(rows);
}

void LibraryRows::Add(const std::array<std::string_view, kColumns>& texts, const QIcon& icon) {
    rows_.append(new LibraryRow(texts, icon));
    for (size_t c = 0; c < texts.size(); ++c)
        widths_[c] = kv::FitColumnWidth(texts[c], widths_[c]);
}

void LibraryRows::HandOver() {
    view_->addTopLevelItems(rows_);
    rows_.clear();
    for (int c = 0; c < kColumns; ++c)
        if (widths_[static_cast<size_t>(c)] != view_->columnWidth(c))
            view_->setColumnWidth(c, widths_[static_cast<size_t>(c)]);
}

}  // namespace sonpad
