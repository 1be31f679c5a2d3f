#pragma once

#include <QIcon>
#include <QList>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/widgets/text_sort.h"

class QTreeWidget;

namespace sonpad {

// One row of the library list. It keeps its nine texts as the bytes they were read as, in one
// string, and makes a cell's text when the list asks for it: a fraction of the memory and
// time of nine stored texts. Columns 7 and 8 (folder, file name) are file names, the others
// tag texts. A text set on the row later is kept by the row as usual.
class LibraryRow : public platform::widgets::TextSortItem {
  public:
    static constexpr int kColumns = 9;

    LibraryRow(const std::array<std::string_view, kColumns>& texts, const QIcon& icon);

    QVariant data(int column, int role) const override;
    void setData(int column, int role, const QVariant& value) override;
    QTreeWidgetItem* clone() const override;

  private:
    std::string_view Bytes(int column) const;

    std::string bytes_;
    std::array<std::uint32_t, kColumns + 1> starts_{};
    std::uint16_t setLater_ = 0;  // columns whose text was set after the scan
};

// The rows of the library list as a scan makes them: built away from the list and handed to
// it at once, with its columns grown to their widest text. The list does not sort meanwhile;
// it is drawn as usual (a box or a window moved over it leaves no hole).
class LibraryRows {
  public:
    static constexpr int kColumns = LibraryRow::kColumns;

    explicit LibraryRows(QTreeWidget* view);
    ~LibraryRows();
    LibraryRows(const LibraryRows&) = delete;
    LibraryRows& operator=(const LibraryRows&) = delete;

    void Reserve(qsizetype rows);
    // The texts in column order: caption, then the sub-items.
    void Add(const std::array<std::string_view, kColumns>& texts, const QIcon& icon);
    void HandOver();

  private:
    QTreeWidget* view_;
    QList<QTreeWidgetItem*> rows_;
    std::array<int, kColumns> widths_{};
    bool sorting_ = false;
};

}  // namespace sonpad
