#include "platform/sndfile_sound_files.h"

#include <sndfile.h>

#include "common/io_error.h"
#include "platform/audio_backend.h"
#include "platform/sndfile_reader.h"

namespace dvx {
namespace {

class SndfileWriter : public SoundWriter {
  public:
    SndfileWriter(const std::filesystem::path& path, int channels)
        : m_path(path), m_channels(channels == 1 ? 1 : 2) {
        SF_INFO info{};
        info.samplerate = kSampleRate;
        info.channels = m_channels;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        m_file = sf_open(path.c_str(), SFM_WRITE, &info);
        if (m_file == nullptr) {
            throw IoError("The sound file " + path.string() +
                          " cannot be created: " + sf_strerror(nullptr));
        }
        // A reader (a test, a crash) always finds a header that matches the data so far.
        sf_command(m_file, SFC_SET_UPDATE_HEADER_AUTO, nullptr, SF_TRUE);
    }
    ~SndfileWriter() override { sf_close(m_file); }
    SndfileWriter(const SndfileWriter&) = delete;
    SndfileWriter& operator=(const SndfileWriter&) = delete;

    int channels() const override { return m_channels; }

    void write(const std::int16_t* samples, int frames) override {
        if (frames <= 0) {
            return;
        }
        if (sf_writef_short(m_file, samples, frames) != frames) {
            throw IoError("The sound file " + m_path.string() +
                          " cannot be written: " + sf_strerror(m_file));
        }
    }

    void flush() override { sf_write_sync(m_file); }

    void truncate(std::int64_t frames) override {
        sf_count_t count = frames;
        if (sf_command(m_file, SFC_FILE_TRUNCATE, &count, sizeof count) != 0) {
            throw IoError("The sound file " + m_path.string() +
                          " cannot be shortened: " + sf_strerror(m_file));
        }
    }

  private:
    std::filesystem::path m_path;
    int m_channels;
    SNDFILE* m_file = nullptr;
};

}  // namespace

std::unique_ptr<SoundReader> SndfileSoundFiles::openReader(const std::filesystem::path& path,
                                                           int channels) {
    return std::make_unique<SndfileReader>(path, channels);
}

std::unique_ptr<SoundWriter> SndfileSoundFiles::createWriter(const std::filesystem::path& path,
                                                             int channels) {
    return std::make_unique<SndfileWriter>(path, channels);
}

}  // namespace dvx
