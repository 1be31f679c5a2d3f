#include "platform/audio/alsa_quiet.h"

#include <alsa/asoundlib.h>

#include <mutex>

namespace platform::audio {
namespace {

extern "C" void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void silenceAlsaDiagnostics() {
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(&ignoreAlsaMessage); });
}

}  // namespace platform::audio
