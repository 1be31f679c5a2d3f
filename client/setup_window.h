#pragma once

#include <string>
#include <vector>

#include "client/client_environment.h"
#include "client/client_forms.h"
#include "platform/file_list_box.h"
#include "platform/widgets/form_dialog.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace platform::widgets {
class SpinEdit;
}

namespace sonpad {

// The client's configuration window: the only holder of the client's settings, which the
// other windows read from its controls. It loads and saves them (section "SONPAD" of
// sonpad2.kvc next to the program) and runs the local library scan.
//
// Files: setup_window.cpp (controls, events), setup_config.cpp (load and save),
// setup_folders.cpp (folder list, playlist folder, client name), local_scan.cpp (the scan).
class TaSetup : public platform::widgets::FormDialog {
    Q_OBJECT
  public:
    TaSetup(ClientForms& forms, const ClientEnvironment& env);

    // Controls.
    QGroupBox* GroupBox1 = nullptr;
    QListWidget* ListBox1 = nullptr;  // MP3 folders, upper case, trailing "/", in scan order
    QPushButton* btnAdd = nullptr;
    QPushButton* btnRemove = nullptr;
    QPushButton* btnScan = nullptr;
    platform::FileListBox FileListBox1;  // the directory lister of the scan and the playlists
    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;  // client name
    QLabel* Label2 = nullptr;
    platform::widgets::SpinEdit* SpinEdit1 = nullptr;  // server port 1..9999
    QLabel* Label3 = nullptr;
    QLineEdit* Edit3 = nullptr;  // server address
    QPushButton* BitBtn1 = nullptr;
    QLineEdit* Edit2 = nullptr;  // playlist folder, trailing "/"
    QCheckBox* cbAutoloadsq = nullptr;
    QPushButton* btnClose = nullptr;

    std::string ClientName;
    bool PlayHere = true;  // Local Player Mode

    void LoadConfig();
    void SaveConfig();
    // Puts the main window at its stored position before its first show, when a move places
    // the frame: the start-up's load then finds it there.
    void PlaceMainWindow();
    void UpdateButtons();
    void ScanLocalSongs();
    void ShowModal();

    // The folder lines as stored.
    std::vector<std::string> Folders() const;
    std::string ConfigurationFile() const;

    // Events.
    void FormCreate();
    void FormActivate();
    void FormClose() override;
    void btnAddClick();
    void btnRemoveClick();
    void BitBtn2Click();
    void btnCloseClick();
    void Edit1Exit();
    void BitBtn1Click();
    void cbAutoloadsqExit();
    // The Enter key moves the focus to btnClose; true when the key was taken.
    bool Edit1KeyDown(int key);
    bool Edit2KeyDown(int key);
    bool Edit3KeyDown(int key);
    bool SpinEdit1KeyDown(int key);

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateControls();

    ClientForms& forms_;
    const ClientEnvironment& env_;
};

}  // namespace sonpad
