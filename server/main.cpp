// Sonhall2: the jukebox server.
#include "platform/qt/close_on_signals.h"
#include "platform/qt/guarded_application.h"
#include "platform/qt/qt_dialogs.h"
#include "server/main_window.h"
#include "server/program_block.h"

int main(int argc, char** argv) {
    platform::GuardedApplication app(argc, argv);
    app.setApplicationName("Sonhall 2");
    platform::QtDialogs dialogs;
    platform::setDialogs(&dialogs);
    int result = 0;
    {
        sonhall::ProgramBlock program(sonhall::StandardEnvironment());
        const platform::CloseOnSignals closeOnSignals(program.forms().aMain);
        program.Show();
        result = app.exec();
    }
    platform::setDialogs(nullptr);
    return result;
}
