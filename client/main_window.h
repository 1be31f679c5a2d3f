#pragma once

#include <QIcon>
#include <QMainWindow>
#include <string>
#include <vector>

#include "client/client_environment.h"
#include "client/client_forms.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QTreeWidget;

namespace platform::widgets {
class SpinEdit;
class StatusPanels;
}  // namespace platform::widgets

namespace sonpad {

// The client's main window. It owns the state that the client's windows share; all of it
// lives on the one user-interface thread.
//
// The methods live in files by concern: main_window.cpp (creation), main_window_layout.cpp
// (controls).
class TaMain : public QMainWindow {
    Q_OBJECT
  public:
    TaMain(ClientForms& forms, const ClientEnvironment& env);
    ~TaMain() override;

    // Shared client state.
    std::vector<std::string> SongLibrary;       // song records of the last scan
    std::vector<std::string> GenreIndex;        // genre (30) + title (30) + song number (6)
    std::vector<std::string> SongInfoRequests;  // library index (6) + file name, untagged files
    std::string ScanCaption;
    int PlayedCount = 0;
    int RepeatCount = 0;
    int MaxWidth = 800;
    int MaxHeight = 600;
    int SortColumn = 0;
    bool LocalMode = true;

    // Row images, 16 x 16: 0 unplayed, 1 played or sent, 4 library row; the rest for the
    // song selection tree.
    std::vector<QIcon> ImageList1;

    // Controls.
    QTreeWidget* ListView1 = nullptr;  // song queue
    QTreeWidget* ListView2 = nullptr;  // library
    QGroupBox* GroupSongQue = nullptr;
    QComboBox* ComboBox1 = nullptr;  // genres
    QLabel* Label4 = nullptr;
    QComboBox* ComboBox2 = nullptr;  // playlists
    QLabel* Label6 = nullptr;
    QCheckBox* cbSeqPlay = nullptr;
    QCheckBox* cbRemoveSong = nullptr;
    QCheckBox* cbPlayListOnce = nullptr;
    platform::widgets::SpinEdit* seSeqLimit = nullptr;
    platform::widgets::StatusPanels* StatusBar1 = nullptr;
    QWidget* pnlButtons = nullptr;  // play buttons
    QWidget* Panel2 = nullptr;      // bottom bar

    void FormCreate();

  private:
    void CreateControls();
    void CreateImages();

    [[maybe_unused]] ClientForms& forms_;
    [[maybe_unused]] const ClientEnvironment& env_;
};

}  // namespace sonpad
