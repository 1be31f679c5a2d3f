#pragma once

#include <memory>

#include "client/client_environment.h"
#include "client/client_forms.h"

namespace sonpad {

// The client program's forms, created once for the run in their fixed order (main window,
// configuration, scan progress, song selection, server messages, data module, copy progress,
// All Songs) and destroyed in the reverse order, the scan progress window first: it may stand
// above any of the others as its dialog.
class ProgramBlock {
  public:
    explicit ProgramBlock(ClientEnvironment env);
    ~ProgramBlock();
    ProgramBlock(const ProgramBlock&) = delete;
    ProgramBlock& operator=(const ProgramBlock&) = delete;

    ClientForms& forms() { return forms_; }
    const ClientEnvironment& environment() const { return env_; }

    // Shows the main window; its start-up follows from the event loop.
    void Show();

  private:
    ClientEnvironment env_;
    ClientForms forms_;
    std::unique_ptr<TaMain> aMain_;
    std::unique_ptr<TaSetup> aSetup_;
    std::unique_ptr<TaProgress> aProgress_;
    std::unique_ptr<TaSongSel> aSongSel_;
    std::unique_ptr<TaServer> aServer_;
    std::unique_ptr<TDm> Dm_;
    std::unique_ptr<TaCopyFile> aCopyFile_;
    std::unique_ptr<TaAllSongs> aAllSongs_;
};

}  // namespace sonpad
