#pragma once

#include <QWidget>
#include <string>

#include "client/client_environment.h"
#include "client/client_forms.h"

class QGroupBox;
class QTreeWidget;

namespace sonpad {

// The song listing read from the song library list file "SONGLIB.LST" of the playlist folder:
// each row a caption line, then up to eight lines "@" + cell text for its other columns. The
// window only reads the file; a double click on the list loads it.
class TaAllSongs : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kColumns = 9;

    TaAllSongs(ClientForms& forms, const ClientEnvironment& env);

    QGroupBox* GroupBox1 = nullptr;
    QTreeWidget* ListView1 = nullptr;

    // The playlist folder field's text followed by "SONGLIB.LST".
    std::string SongLibraryFile() const;
    // Replaces the rows with the file's; a file that cannot be read raises its IoError with
    // the list already emptied.
    void LoadSongLibraryFile(const std::string& path);
    void ListView1DblClick();
    void ListView1ColumnClick(int column);
    void FormCreate();
    int SortColumn() const { return sortColumn_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    ClientForms& forms_;
    const ClientEnvironment& env_;
    int sortColumn_ = 0;
};

}  // namespace sonpad
