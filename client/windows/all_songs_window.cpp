#include "client/windows/all_songs_window.h"

#include <QGroupBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/widgets/report_view.h"

namespace sonpad {

TaAllSongs::TaAllSongs() : QWidget(nullptr, Qt::Window) {
    setWindowTitle("Song Listing");
    resize(600, 400);
    auto* column = new QVBoxLayout(this);
    auto* group = new QGroupBox("|  All Songs  |", this);
    auto* inner = new QVBoxLayout(group);
    ListView1 = platform::widgets::NewReportView(
        group,
        {"Song Id", "Title", "Artist", "Album", "Genre", "Year", "Played", "Comment", "Filespec"},
        {60, 150, 120, 120, 80, 40, 50, 100, 200});
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    inner->addWidget(ListView1);
    column->addWidget(group);
}

}  // namespace sonpad
