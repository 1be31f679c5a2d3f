#pragma once

namespace sonpad {

class TaMain;
class TaSetup;
class TaProgress;
class TaSongSel;
class TaServer;
class TDm;
class TaCopyFile;
class TaAllSongs;

// The program's forms, as the program block creates them; each form reaches the others
// through this once all of them exist.
struct ClientForms {
    TaMain* aMain = nullptr;
    TaSetup* aSetup = nullptr;
    TaProgress* aProgress = nullptr;
    TaSongSel* aSongSel = nullptr;
    TaServer* aServer = nullptr;
    TDm* Dm = nullptr;
    TaCopyFile* aCopyFile = nullptr;
    TaAllSongs* aAllSongs = nullptr;
};

}  // namespace sonpad
