#include <alsa/asoundlib.h>

#include <cstdlib>
#include <string>

#include "platform/audio/alsa_quiet.h"
#include "platform/audio/volume_scale.h"
#include "platform/audio/wave_device.h"

namespace platform::audio {
namespace {

struct CloseMixer {
    void operator()(snd_mixer_t* m) const { snd_mixer_close(m); }
};
using Mixer = std::unique_ptr<snd_mixer_t, CloseMixer>;

std::string cardName(int card) {
    char* name = nullptr;
    if (snd_card_get_name(card, &name) != 0 || !name)
        return "Sound card " + std::to_string(card);
    std::string result = name;
    std::free(name);
    return result;
}

Mixer openMixer(int card) {
    snd_mixer_t* raw = nullptr;
    if (snd_mixer_open(&raw, 0) != 0)
        return nullptr;
    Mixer mixer(raw);
    const std::string hw = "hw:" + std::to_string(card);
    if (snd_mixer_attach(raw, hw.c_str()) != 0 ||
        snd_mixer_selem_register(raw, nullptr, nullptr) != 0 || snd_mixer_load(raw) != 0)
        return nullptr;
    return mixer;
}

bool isPlaybackVolume(snd_mixer_elem_t* e) {
    return snd_mixer_selem_is_active(e) && snd_mixer_selem_has_playback_volume(e);
}

// Master, else PCM, else the first element with a playback volume.
snd_mixer_elem_t* volumeElement(snd_mixer_t* mixer) {
    snd_mixer_elem_t* first = nullptr;
    snd_mixer_elem_t* pcm = nullptr;
    for (snd_mixer_elem_t* e = snd_mixer_first_elem(mixer); e; e = snd_mixer_elem_next(e)) {
        if (!isPlaybackVolume(e))
            continue;
        const std::string name = snd_mixer_selem_get_name(e);
        if (name == "Master" && snd_mixer_selem_get_index(e) == 0)
            return e;
        if (name == "PCM" && !pcm)
            pcm = e;
        if (!first)
            first = e;
    }
    return pcm ? pcm : first;
}

class AlsaCardDevice : public WaveOutDevice {
  public:
    explicit AlsaCardDevice(int card) : name_(cardName(card)), mixer_(openMixer(card)) {
        if (mixer_)
            element_ = volumeElement(mixer_.get());
        if (element_ && (snd_mixer_selem_get_playback_volume_range(element_, &min_, &max_) != 0 ||
                         max_ <= min_))
            element_ = nullptr;
    }

    WAVEOUTCAPS caps() const override {
        return WAVEOUTCAPS{name_, element_ ? WAVECAPS_VOLUME : 0u};
    }

    bool getVolume(std::uint32_t& volume) override {
        if (!element_)
            return false;
        snd_mixer_handle_events(mixer_.get());  // take changes made elsewhere meanwhile
        long left = 0, right = 0;
        if (snd_mixer_selem_get_playback_volume(element_, SND_MIXER_SCHN_FRONT_LEFT, &left) != 0)
            return false;
        if (snd_mixer_selem_is_playback_mono(element_) ||
            snd_mixer_selem_get_playback_volume(element_, SND_MIXER_SCHN_FRONT_RIGHT, &right) != 0)
            right = left;
        volume = volumeFromRange(left, min_, max_) |
                 (std::uint32_t(volumeFromRange(right, min_, max_)) << 16);
        return true;
    }

    bool setVolume(std::uint32_t volume) override {
        if (!element_)
            return false;
        const long left = volumeToRange(volume & 0xFFFF, min_, max_);
        const long right = volumeToRange(volume >> 16, min_, max_);
        if (snd_mixer_selem_is_playback_mono(element_))
            return snd_mixer_selem_set_playback_volume_all(element_, left) == 0;
        bool ok = true;
        for (int ch = 0; ch <= SND_MIXER_SCHN_LAST; ++ch) {
            const auto channel = static_cast<snd_mixer_selem_channel_id_t>(ch);
            if (!snd_mixer_selem_has_playback_channel(element_, channel))
                continue;
            // Channels beyond the front pair follow the louder side.
            const long value = channel == SND_MIXER_SCHN_FRONT_LEFT    ? left
                               : channel == SND_MIXER_SCHN_FRONT_RIGHT ? right
                                                                       : std::max(left, right);
            ok = snd_mixer_selem_set_playback_volume(element_, channel, value) == 0 && ok;
        }
        return ok;
    }

  private:
    std::string name_;
    Mixer mixer_;
    snd_mixer_elem_t* element_ = nullptr;  // owned by the mixer
    long min_ = 0, max_ = 0;
};

}  // namespace

std::vector<std::unique_ptr<WaveOutDevice>> alsaCardDevices() {
    silenceAlsaDiagnostics();
    std::vector<std::unique_ptr<WaveOutDevice>> devices;
    int card = -1;
    while (snd_card_next(&card) == 0 && card >= 0)
        devices.push_back(std::make_unique<AlsaCardDevice>(card));
    return devices;
}

}  // namespace platform::audio
