#pragma once

namespace sonhall {

class TaMain;
class TaSetup;
class TaProgRead;
class TaDm;
class TaPlaylog;
class TaAllSongs;

// The program's six forms, as the program block creates them; each form reaches the others
// through this once all of them exist.
struct ServerForms {
    TaMain* aMain = nullptr;
    TaSetup* aSetup = nullptr;
    TaProgRead* aProgRead = nullptr;
    TaDm* aDm = nullptr;
    TaPlaylog* aPlaylog = nullptr;
    TaAllSongs* aAllSongs = nullptr;
};

}  // namespace sonhall
