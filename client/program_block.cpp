#include "client/program_block.h"

#include "client/data_module.h"
#include "client/main_window.h"
#include "client/progress_window.h"
#include "client/setup_window.h"
#include "client/song_sel_window.h"
#include "client/windows/all_songs_window.h"
#include "client/windows/copy_file_window.h"
#include "client/windows/server_messages_window.h"
#include "platform/dialogs.h"

namespace sonpad {

ProgramBlock::ProgramBlock(ClientEnvironment env) : env_(std::move(env)) {
    platform::setProgramTitle("Sonpad 2");
    aMain_ = std::make_unique<TaMain>(forms_, env_);
    forms_.aMain = aMain_.get();
    aSetup_ = std::make_unique<TaSetup>(forms_, env_);
    forms_.aSetup = aSetup_.get();
    aProgress_ = std::make_unique<TaProgress>();
    forms_.aProgress = aProgress_.get();
    aSongSel_ = std::make_unique<TaSongSel>(forms_, env_);
    forms_.aSongSel = aSongSel_.get();
    aServer_ = std::make_unique<TaServer>(forms_);
    forms_.aServer = aServer_.get();
    Dm_ = std::make_unique<TDm>(forms_);
    forms_.Dm = Dm_.get();
    aCopyFile_ = std::make_unique<TaCopyFile>();
    forms_.aCopyFile = aCopyFile_.get();
    aAllSongs_ = std::make_unique<TaAllSongs>(forms_, env_);
    forms_.aAllSongs = aAllSongs_.get();
}

ProgramBlock::~ProgramBlock() {
    aProgress_.reset();  // before the windows it may stand above as their dialog
    aAllSongs_.reset();
    aCopyFile_.reset();  // before the song selection window, whose dialog it is
    Dm_.reset();
    aServer_.reset();
    aSongSel_.reset();
    aSetup_.reset();
    aMain_.reset();
}

void ProgramBlock::Show() {
    aSetup_->PlaceMainWindow();
    aMain_->show();
}

}  // namespace sonpad
