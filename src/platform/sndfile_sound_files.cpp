#include "platform/sndfile_sound_files.h"

#include <fcntl.h>
#include <sndfile.h>

#include <cerrno>

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
        m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (m_fd < 0) {
            throw IoError("Cannot create", path, errno);
        }
        m_file = sf_open_fd(m_fd, SFM_WRITE, &info, SF_TRUE);  // closes the descriptor
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
        // The disk starts on what is written while more comes, so that flush() has little
        // left to wait for.
        m_unstarted += static_cast<std::int64_t>(frames) * m_channels * 2;
        if (m_unstarted >= kWritebackBytes) {
            ::sync_file_range(m_fd, 0, 0, SYNC_FILE_RANGE_WRITE);
            m_unstarted = 0;
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
    static constexpr std::int64_t kWritebackBytes = 4 << 20;

    std::filesystem::path m_path;
    int m_channels;
    int m_fd = -1;
    SNDFILE* m_file = nullptr;
    std::int64_t m_unstarted = 0;  // bytes written since the disk was last set going
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
