// The local library scan.
#include "client/setup_window.h"

namespace sonpad {

void TaSetup::ScanLocalSongs() {}

}  // namespace sonpad
