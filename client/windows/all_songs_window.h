#pragma once

#include <QWidget>

class QTreeWidget;

namespace sonpad {

// The song listing read from the song library list file of the playlist folder.
class TaAllSongs : public QWidget {
    Q_OBJECT
  public:
    TaAllSongs();

    QTreeWidget* ListView1 = nullptr;
    int SortColumn = 0;
};

}  // namespace sonpad
