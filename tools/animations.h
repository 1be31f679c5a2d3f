#pragma once

#include "tools/avi_writer.h"

// The animations the programs play. Each one's resting frame (the one shown while stopped)
// is drawn to look idle.
namespace avi_maker {

Movie levelMeter();     // meter.avi: VU bars; frame 12 rests (all segments dark)
Movie connection();     // connect.avi: two computers passing a packet; frame 6 rests
Movie spinningDisc();   // CD.AVI: a compact disc turning
Movie equaliserBars();  // BARS.AVI: equaliser bars; frame 0 rests (bars low)
Movie folderSearch();   // findfolder.avi: a magnifier over a folder; frame 29 rests

}  // namespace avi_maker
