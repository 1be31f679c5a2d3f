#include "platform/audio/mp3_decoder.h"

#include <mpg123.h>

#include <cstdio>

#include "platform/audio/audio_format.h"
#include "platform/errors.h"
#include "platform/files.h"

namespace platform::audio {
namespace {

std::string quoted(const std::string& name) {
    return "\"" + name + "\"";
}

[[noreturn]] void fail(const std::string& name, const std::string& why) {
    throw Error("Cannot play " + quoted(name) + ": " + why + ".");
}

// A final frame cut short still plays; more missing than that is a damaged file.
constexpr off_t kMissingFramesAllowed = 1;
constexpr int kIdleReadsAllowed = 64;

}  // namespace

void Mp3Decoder::Free::operator()(mpg123_handle_struct* h) const {
    mpg123_delete(h);
}

Mp3Decoder::Mp3Decoder(const files::Name& file) : name_(file.text()) {
    if (name_.empty())
        throw Error("No file name is set for the media player.");
    if (!files::fileExists(file))
        fail(name_, "the file does not exist");

    int err = MPG123_OK;
    handle_.reset(mpg123_new(nullptr, &err));
    if (!handle_)
        fail(name_, std::string("no decoder: ") + mpg123_plain_strerror(err));
    mpg123_handle* h = handle_.get();
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0);
    // Only the mix format is allowed: mpg123 then resamples and doubles mono by itself.
    mpg123_format_none(h);
    if (mpg123_format(h, kSampleRate, MPG123_STEREO, MPG123_ENC_SIGNED_16) != MPG123_OK)
        fail(name_, std::string("the decoder rejects the output format: ") + mpg123_strerror(h));

    const std::string onDisk = files::resolve(file);
    if (mpg123_open(h, onDisk.c_str()) != MPG123_OK)
        fail(name_, std::string("the file cannot be read (") + mpg123_strerror(h) + ")");

    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_getformat(h, &rate, &channels, &encoding) != MPG123_OK)
        fail(name_, "it is not an MP3 file");

    // LAME's Info tag gives the frame count the encoder wrote; a scan that finds fewer
    // means the file lost its end. Without the tag the count is only an estimate.
    long encoderDelay = -1;
    double unused = 0;
    mpg123_getstate(h, MPG123_ENC_DELAY, &encoderDelay, &unused);
    const off_t promisedFrames = mpg123_framelength(h);

    if (mpg123_scan(h) != MPG123_OK)
        fail(name_, std::string("the file cannot be scanned (") + mpg123_strerror(h) + ")");
    const off_t foundFrames = mpg123_framelength(h);
    lengthFrames_ = mpg123_length(h);
    if (lengthFrames_ <= 0 || foundFrames <= 0)
        fail(name_, "it holds no MPEG audio");
    if (encoderDelay >= 0 && promisedFrames > foundFrames + kMissingFramesAllowed) {
        fail(name_, "the file is truncated (" + std::to_string(foundFrames) + " of " +
                        std::to_string(promisedFrames) + " frames)");
    }
}

Mp3Decoder::~Mp3Decoder() = default;

std::size_t Mp3Decoder::read(std::int16_t* out, std::size_t frames) {
    std::size_t got = 0;
    int idleReads = 0;  // calls that gave nothing without ending: never spin on them for long
    while (!ended_ && got < frames) {
        size_t done = 0;
        const int rc = mpg123_read(handle_.get(), reinterpret_cast<unsigned char*>(out + got * 2),
                                   (frames - got) * kBytesPerFrame, &done);
        got += done / kBytesPerFrame;
        idleReads = done == 0 ? idleReads + 1 : 0;
        if ((rc == MPG123_OK || rc == MPG123_NEW_FORMAT) && idleReads < kIdleReadsAllowed)
            continue;
        ended_ = true;  // MPG123_DONE, or data that cannot be decoded any further
    }
    return got;
}

std::int64_t Mp3Decoder::seek(std::int64_t frame) {
    const off_t reached = mpg123_seek(handle_.get(), static_cast<off_t>(frame), SEEK_SET);
    if (reached < 0)
        throw Error("Cannot seek in " + quoted(name_) + ": " + mpg123_strerror(handle_.get()) +
                    ".");
    ended_ = false;
    return reached;
}

}  // namespace platform::audio
