#include "platform/audio/render_output.h"

#include <mpg123.h>
#include <out123.h>

#include "platform/audio/audio_format.h"
#include "platform/errors.h"
#include "platform/files.h"

namespace platform::audio {

RenderOutput::RenderOutput(bool keepInMemory, const std::string& wavFile)
    : keep_(keepInMemory), wavFile_(wavFile) {
    if (wavFile_.empty())
        return;
    wav_ = out123_new();
    if (!wav_)
        throw Error("Cannot write \"" + wavFile_ + "\": no output library.");
    out123_param_int(wav_, OUT123_FLAGS, OUT123_QUIET);
    const std::string onDisk = files::resolve(files::Name(wavFile_));
    if (out123_open(wav_, "wav", onDisk.c_str()) != 0 ||
        out123_start(wav_, kSampleRate, kChannels, MPG123_ENC_SIGNED_16) != 0) {
        const std::string why = out123_strerror(wav_);
        out123_del(wav_);
        wav_ = nullptr;
        throw Error("Cannot write \"" + wavFile_ + "\": " + why + ".");
    }
}

RenderOutput::~RenderOutput() {
    if (wav_)
        out123_del(wav_);  // closing writes the header's sizes
}

void RenderOutput::write(std::int16_t* samples, std::size_t frames) {
    if (keep_)
        samples_.insert(samples_.end(), samples, samples + frames * kChannels);
    if (wav_ && out123_play(wav_, samples, frames * kBytesPerFrame) != frames * kBytesPerFrame)
        throw Error("Cannot write \"" + wavFile_ + "\": " + out123_strerror(wav_) + ".");
}

}  // namespace platform::audio
