#pragma once

#include <QWidget>

#include "server/server_forms.h"

class QGroupBox;
class QMenu;
class QStatusBar;
class QTreeWidget;

namespace sonhall {

// A list in the columns of a song library. The server keeps no library list file: the list
// holds no rows of its own, the scan empties it, and saving or loading it does nothing. Its
// caption names where the list file would be, in the playlist folder.
class TaAllSongs : public QWidget {
    Q_OBJECT
  public:
    explicit TaAllSongs(ServerForms& forms);

    QGroupBox* GroupBox1 = nullptr;
    QTreeWidget* ListView1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QMenu* PopupMenu1 = nullptr;

    void SaveLibrary();
    void SaveList1Click();
    void LoadList1Click();
    void ClearList1Click();
    void FormCreate();
    void FormActivate();
    void FormClose();
    void ListView1ColumnClick(int column);

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    ServerForms& forms_;
    int SortColumn = 0;
};

}  // namespace sonhall
