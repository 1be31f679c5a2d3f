#pragma once

#include <memory>

#include "server/server_environment.h"
#include "server/server_forms.h"

namespace sonhall {

// The server program's forms, created in their fixed order (main window, configuration,
// scan progress, data module, play log, All Songs) and destroyed in the reverse order after
// the listener has stopped. The main window's start-up runs when it is first shown.
class ProgramBlock {
  public:
    explicit ProgramBlock(ServerEnvironment env);
    ~ProgramBlock();
    ProgramBlock(const ProgramBlock&) = delete;
    ProgramBlock& operator=(const ProgramBlock&) = delete;

    ServerForms& forms() { return forms_; }
    const ServerEnvironment& environment() const { return env_; }

    // Shows the main window; its start-up follows from the event loop.
    void Show();

  private:
    ServerEnvironment env_;
    ServerForms forms_;
    std::unique_ptr<TaMain> aMain_;
    std::unique_ptr<TaSetup> aSetup_;
    std::unique_ptr<TaProgRead> aProgRead_;
    std::unique_ptr<TaDm> aDm_;
    std::unique_ptr<TaPlaylog> aPlaylog_;
    std::unique_ptr<TaAllSongs> aAllSongs_;
};

}  // namespace sonhall
