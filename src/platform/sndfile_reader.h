#pragma once

#include <samplerate.h>
#include <sndfile.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/sound_files.h"

namespace dvx {

// One sound file read through libsndfile in the working format, whatever its encoding, rate or
// channel count. Every file takes the same road: libsndfile decodes it to floats normalised to
// full scale (integer, A-law, mu-law, ADPCM and MPEG alike; float and double files as they are
// stored), the first two channels are kept (a mono file feeds both), libsamplerate brings other
// rates to 44100 Hz (sinc, medium quality), and the result is rounded to 16 bits with clipping.
// A 16-bit file at 44100 Hz therefore reads back sample for sample, and a float file whose
// samples stray beyond full scale is clipped rather than wrapped.
class SndfileReader : public SoundReader {
  public:
    SndfileReader(const std::filesystem::path& path, int channels);  // throws IoError
    // A whole sound file held in memory, read in place: `bytes` must outlive the reader;
    // `name` stands for it in messages. Throws IoError.
    SndfileReader(std::span<const std::uint8_t> bytes, const std::string& name, int channels);
    ~SndfileReader() override;
    SndfileReader(const SndfileReader&) = delete;
    SndfileReader& operator=(const SndfileReader&) = delete;

    int channels() const override { return m_channels; }
    std::int64_t frames() const override { return m_frames; }
    int read(std::int16_t* out, int frames) override;
    void seek(std::int64_t frame) override;
    int sourceChannels() const override { return m_info.channels; }
    SoundTags tags() const override;

  private:
    struct MemoryFile;
    // Checks the file opened and prepares the conversion; `name` for messages.
    void start(const std::string& name);
    void fillInput();
    long convert(int wanted);  // into m_output; frames made

    std::unique_ptr<MemoryFile> m_memory;  // what a file held in memory reads from
    SNDFILE* m_file = nullptr;
    SF_INFO m_info{};
    int m_channels;
    std::int64_t m_frames = 0;
    SRC_STATE* m_resampler = nullptr;  // only for files not at 44100 Hz
    double m_ratio = 1.0;
    std::vector<float> m_fileFloats;  // one chunk as the file has it
    std::vector<float> m_input;       // one chunk in the output's channels, at the file's rate
    std::vector<float> m_output;      // at 44100 Hz, before rounding to 16 bits
    long m_inputOffset = 0;           // frames of m_input already used
    long m_inputFrames = 0;           // frames of m_input still to use
    bool m_fileEnded = false;
};

}  // namespace dvx
