// The main window's creation.
#include "client/main_window.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

namespace sonpad {

TaMain::TaMain(ClientForms& forms, const ClientEnvironment& env)
    : QMainWindow(nullptr), forms_(forms), env_(env) {
    setWindowTitle("Sonpad ][");
    CreateImages();
    CreateControls();
    FormCreate();
}

TaMain::~TaMain() = default;

void TaMain::FormCreate() {
    ScanCaption = "Sonpad Software v.2.0a";
    SongLibrary.clear();
    GenreIndex.clear();
    SongInfoRequests.clear();
    setMinimumSize(640, 371);
    resize(640, 371);
    MaxWidth = 800;
    MaxHeight = 600;
    PlayedCount = 0;
    RepeatCount = 0;
    ComboBox2->clearEditText();
    ComboBox2->clear();
    Label4->setText("0");
    ComboBox1->clearEditText();
    ComboBox1->clear();
    Label6->setText("0");
    LocalMode = true;
    Panel2->setEnabled(false);
}

}  // namespace sonpad
