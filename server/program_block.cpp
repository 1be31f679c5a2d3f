#include "server/program_block.h"

#include "platform/dialogs.h"
#include "server/all_songs_window.h"
#include "server/data_module.h"
#include "server/main_window.h"
#include "server/play_log_window.h"
#include "server/progress_window.h"
#include "server/setup_window.h"

namespace sonhall {

ProgramBlock::ProgramBlock(ServerEnvironment env) : env_(std::move(env)) {
    platform::setProgramTitle("Sonhall 2");
    aMain_ = std::make_unique<TaMain>(forms_, env_);
    forms_.aMain = aMain_.get();
    aSetup_ = std::make_unique<TaSetup>(forms_, env_);
    forms_.aSetup = aSetup_.get();
    aProgRead_ = std::make_unique<TaProgRead>();
    forms_.aProgRead = aProgRead_.get();
    aDm_ = std::make_unique<TaDm>(forms_);
    forms_.aDm = aDm_.get();
    aPlaylog_ = std::make_unique<TaPlaylog>(env_);
    forms_.aPlaylog = aPlaylog_.get();
    aAllSongs_ = std::make_unique<TaAllSongs>(forms_);
    forms_.aAllSongs = aAllSongs_.get();
}

ProgramBlock::~ProgramBlock() {
    // Connection threads reach every form through the main window's dispatcher.
    aMain_->Shutdown();
    aAllSongs_.reset();
    aPlaylog_.reset();
    aDm_.reset();
    // Before the windows it may stand above as their dialog.
    aProgRead_.reset();
    aSetup_.reset();
    aMain_.reset();
}

void ProgramBlock::Show() {
    aMain_->show();
}

}  // namespace sonhall
