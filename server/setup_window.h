#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_list_box.h"
#include "platform/widgets/form_dialog.h"
#include "server/server_environment.h"
#include "server/server_forms.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace platform::widgets {
class SpinEdit;
}

namespace sonhall {

// The configuration window: it holds the server's live settings, which the other windows read
// from its controls, loads and saves them (section "SONHALL" of sonhall2.kvc next to the
// program) and runs the library scan.
//
// Files: setup_window.cpp (controls, events), setup_config.cpp (load and save),
// setup_folders.cpp (folder list and field checks), song_scan.cpp (the scan).
class TaSetup : public platform::widgets::FormDialog {
    Q_OBJECT
  public:
    TaSetup(ServerForms& forms, const ServerEnvironment& env);

    // Controls.
    QGroupBox* GroupBox1 = nullptr;
    QListWidget* ListBox1 = nullptr;  // MP3 folders, upper case, trailing "/", in scan order
    QPushButton* buttonAdd = nullptr;
    QPushButton* buttonRemove = nullptr;
    QPushButton* buttonScan = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label3 = nullptr;
    platform::FileListBox FileListBox1;
    QLabel* Label1 = nullptr;
    QLineEdit* edCrossfade = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label5 = nullptr;
    platform::widgets::SpinEdit* SpinEdit1 = nullptr;  // song/client limit 1..5
    QLabel* Label6 = nullptr;
    platform::widgets::SpinEdit* SpinEdit2 = nullptr;  // TCP/IP port 1..9999
    QLabel* Label7 = nullptr;
    QLineEdit* Edit1 = nullptr;  // playlist folder
    QPushButton* BitBtn1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* buttonClose = nullptr;

    bool FolderListChanged = false;
    // Percent of a song's length at which the next song starts; 100 and above: no overlap.
    std::int32_t CrossfadePercent = 0;

    void LoadConfig();
    void SaveConfig();
    void UpdateButtons();
    // Rebuilds the library from the folders. Does nothing while a scan already runs.
    void ReadSongs();
    void ShowModal();

    // The folder entries as stored.
    std::vector<std::string> Folders() const;

    // Events.
    void FormCreate();
    void FormActivate();
    void FormClose() override;
    void buttonAddClick();
    void buttonRemoveClick();
    void buttonScanClick();
    void Button1Click();
    void BitBtn1Click();
    void buttonCloseClick();
    void edCrossfadeExit();
    void SpinEdit1Exit();
    // The Enter key moves the focus to buttonClose, so leaving the field runs its check.
    bool edCrossfadeKeyDown(int key);
    bool SpinEdit1KeyDown(int key);
    bool SpinEdit2KeyDown(int key);

    std::string ConfigurationFile() const;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateControls();
    void AddFolderEntry(const std::string& folder);

    ServerForms& forms_;
    const ServerEnvironment& env_;
};

}  // namespace sonhall
