#pragma once

// ALSA prints every failed probe (no card, no "default" device) to standard error, also from
// inside the output drivers. Those are expected on machines without sound; this silences them.
namespace platform::audio {

void silenceAlsaDiagnostics();

}  // namespace platform::audio
