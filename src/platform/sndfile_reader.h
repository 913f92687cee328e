#pragma once

#include <samplerate.h>
#include <sndfile.h>

#include <filesystem>
#include <vector>

#include "platform/sound_files.h"

namespace dvx {

// One sound file read through libsndfile in the working format. Files at 44100 Hz are read as
// 16-bit samples untouched; others are read as floats and resampled by libsamplerate (sinc,
// medium quality). Channels are mapped before resampling.
class SndfileReader : public SoundReader {
  public:
    SndfileReader(const std::filesystem::path& path, int channels);  // throws IoError
    ~SndfileReader() override;
    SndfileReader(const SndfileReader&) = delete;
    SndfileReader& operator=(const SndfileReader&) = delete;

    int channels() const override { return m_channels; }
    std::int64_t frames() const override { return m_frames; }
    int read(std::int16_t* out, int frames) override;
    void seek(std::int64_t frame) override;

  private:
    int readDirect(std::int16_t* out, int frames);
    int readResampled(std::int16_t* out, int frames);
    void fillResamplerInput();

    SNDFILE* m_file = nullptr;
    SF_INFO m_info{};
    int m_channels;
    std::int64_t m_frames = 0;
    SRC_STATE* m_resampler = nullptr;  // only for files not at 44100 Hz
    double m_ratio = 1.0;
    std::vector<std::int16_t> m_fileShorts;  // one chunk as the file has it
    std::vector<float> m_fileFloats;
    std::vector<float> m_input;   // one chunk in the output's channels, not yet resampled
    std::vector<float> m_output;  // resampled, before conversion to 16 bits
    long m_inputOffset = 0;       // frames of m_input already used
    long m_inputFrames = 0;       // frames of m_input still to use
    bool m_fileEnded = false;
};

}  // namespace dvx
