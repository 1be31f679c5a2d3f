#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct out123_struct;

// Where a rendering engine puts the mix: memory, a WAV file (libout123's "wav" driver),
// or both.
namespace platform::audio {

class RenderOutput {
  public:
    // An empty wavFile writes no file. Raises platform::Error when the file cannot be made.
    RenderOutput(bool keepInMemory, const std::string& wavFile);
    ~RenderOutput();  // completes the WAV file
    RenderOutput(const RenderOutput&) = delete;
    RenderOutput& operator=(const RenderOutput&) = delete;

    void write(std::int16_t* samples, std::size_t frames);
    const std::vector<std::int16_t>& samples() const { return samples_; }
    void clear() { samples_.clear(); }

  private:
    bool keep_;
    std::string wavFile_;
    std::vector<std::int16_t> samples_;
    out123_struct* wav_ = nullptr;
};

}  // namespace platform::audio
