// A library row shows the texts it was made with, keeps a text set later, and clones whole.
#include "client/library_rows.h"

#include <gtest/gtest.h>

#include <QPixmap>
#include <memory>

#include "platform/qt/text_edge.h"

namespace {

TEST(LibraryRow, ShowsItsTextsKeepsOnesSetLaterAndClonesWhole) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::red);
    const QIcon icon(pixmap);
    const std::string folder = "/M/CAF\xE9/", file = "caf\xE9 Song.mp3";  // Latin-1 bytes
    sonpad::LibraryRow row(
        {"000001", "Caf\xE9 ", "Artist", "ROCK", "", "1999", "Nice", folder, file}, icon);
    EXPECT_EQ(row.columnCount(), 9);
    EXPECT_EQ(row.text(0), "000001");
    EXPECT_EQ(row.text(1), QString::fromUtf8("Caf\u00e9 "));  // tag texts are Latin-1
    EXPECT_EQ(row.text(3), "ROCK");
    EXPECT_EQ(row.text(4), "");
    EXPECT_EQ(platform::fromFileName(row.text(7)), folder);  // file names keep their bytes
    EXPECT_EQ(platform::fromFileName(row.text(8)), file);
    EXPECT_EQ(row.text(9), "");
    EXPECT_EQ(row.icon(0).cacheKey(), icon.cacheKey());

    row.setText(2, "Other");
    EXPECT_EQ(row.text(2), "Other");
    EXPECT_EQ(row.text(6), "Nice");
    const std::unique_ptr<QTreeWidgetItem> copy(row.clone());
    for (int c = 0; c < 9; ++c)
        EXPECT_EQ(copy->text(c), row.text(c)) << c;
}

}  // namespace
