#pragma once

#include <QIcon>
#include <QList>
#include <QString>
#include <array>
#include <string>
#include <string_view>
#include <unordered_map>

class QTreeWidget;
class QTreeWidgetItem;

namespace sonpad {

// The rows of the library list as a scan makes them: built away from the list and handed to
// it at once, with its columns grown to their widest text. The list neither repaints nor
// sorts meanwhile.
class LibraryRows {
  public:
    static constexpr int kColumns = 9;

    explicit LibraryRows(QTreeWidget* view);
    ~LibraryRows();
    LibraryRows(const LibraryRows&) = delete;
    LibraryRows& operator=(const LibraryRows&) = delete;

    void Reserve(qsizetype rows);
    // The texts give the columns' widths, the cells what the row shows.
    void Add(const std::array<std::string_view, kColumns>& texts, const QStringList& cells,
             const QIcon& icon);
    void HandOver();

  private:
    QTreeWidget* view_;
    QList<QTreeWidgetItem*> rows_;
    std::array<int, kColumns> widths_{};
    bool sorting_ = false;
};

// Tag texts as cells; texts that many songs share (artist, album, year, comment) are made
// once and shared by their rows.
class SharedCells {
  public:
    const QString& Cell(const std::string& text);

  private:
    std::unordered_map<std::string, QString> cells_;
};

}  // namespace sonpad
