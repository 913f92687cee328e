#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio_backend.h"
#include "platform/consumer_gate.h"
#include "platform/sample_ring.h"
#include "platform/sound_files.h"
#include "platform/volume_stage.h"

namespace dvx {

// A file sink (the recording chain's `WaveFile`): captured audio, scaled by an optional gain
// stage (`Gain`), to a 16-bit WAV file. A stereo capture is mixed down, (left + right) / 2, for
// a mono file. The capture callback only queues the samples; the backend's background work
// writes them to disk, so a slow disk never holds up the capture. The queue holds four seconds;
// what does not fit is dropped and counted.
//
// Writing starts with setEnabled(true), or by itself with the first buffer louder than the
// threshold given to setStartAbove() (the level test of WaveHelper::louderThan, on the buffer
// as the file gets it before the gain), so the sound that starts a recording is in the file.
//
// Threads: every public function on the main thread except onCaptured(), which the capture
// calls on its callback thread (no allocation, no locks, no disk).
class FileSink : public CaptureSink {
  public:
    static constexpr int kQueueSeconds = 4;
    static constexpr int kNoStart = std::numeric_limits<int>::min();

    FileSink(AudioBackend& backend, SoundFiles& files);
    ~FileSink() override;
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    void setGain(VolumeStage* gain) { m_gain.store(gain); }

    // Creates the file, replacing one of that name, for captures of `channels` channels;
    // writing waits for setEnabled(true). Throws IoError.
    void open(const std::filesystem::path& path, int channels);
    // Writes what is queued and closes the file. Throws IoError when any write failed (the
    // file is closed all the same).
    void close();
    bool isOpen() const { return m_open; }

    void setEnabled(bool enabled) { m_enabled.store(enabled); }
    bool isEnabled() const { return m_enabled.load(); }
    // While not enabled: the first buffer above `threshold` enables writing; kNoStart: none
    // does.
    void setStartAbove(int threshold) { m_startAbove.store(threshold); }
    std::uint64_t droppedFrames() const;
    // Frames in the file opened last: the count grows as the work writes and is final once
    // the file is closed.
    std::int64_t framesWritten() const { return m_framesWritten.load(); }
    // A write to the file opened last has failed; close() says why.
    bool hasFailed() const { return m_failed.load(); }

    void onCaptured(const std::int16_t* samples, int frames, int channels) noexcept override;

  private:
    void drain() noexcept;  // background work: queue -> file
    // Callback: whether the chunk is written, starting the file on a loud one when asked to.
    bool admits(const std::int16_t* samples, int frames) noexcept;

    SoundFiles& m_files;
    SampleRing m_ring;
    ConsumerGate m_gate;                    // closed while no file is open
    std::vector<std::int16_t> m_mixed;      // callback: one buffer mixed down to mono
    std::vector<std::int16_t> m_scaled;     // callback: one buffer after the gain
    std::vector<std::int16_t> m_pending;    // work: one buffer on its way to the file
    std::unique_ptr<SoundWriter> m_writer;  // used by the work, or with the work held
    std::string m_writeError;               // the first failure, same guard as m_writer
    int m_channels = 2;
    bool m_open = false;
    std::atomic<bool> m_enabled{false};
    std::atomic<int> m_startAbove{kNoStart};
    std::atomic<std::int64_t> m_framesWritten{0};
    std::atomic<bool> m_failed{false};
    std::atomic<VolumeStage*> m_gain{nullptr};
    std::unique_ptr<BackgroundWork> m_work;  // last: stopped before the rest goes
};

}  // namespace dvx
