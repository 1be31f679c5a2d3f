// Sonpad2: the jukebox client.
#include "client/main_window.h"
#include "client/program_block.h"
#include "client/row_images.h"
#include "platform/qt/close_on_signals.h"
#include "platform/qt/guarded_application.h"
#include "platform/qt/qt_dialogs.h"

int main(int argc, char** argv) {
    platform::GuardedApplication app(argc, argv);
    app.setApplicationName("Sonpad 2");
    app.setWindowIcon(sonpad::ApplicationIcon());
    // The program ends with its main window's close, also while only the tray icon shows.
    app.setQuitOnLastWindowClosed(false);
    platform::QtDialogs dialogs;
    platform::setDialogs(&dialogs);
    int result = 0;
    {
        sonpad::ProgramBlock program(sonpad::StandardEnvironment());
        const platform::CloseOnSignals closeOnSignals(program.forms().aMain);
        program.Show();
        result = app.exec();
    }
    platform::setDialogs(nullptr);
    return result;
}
