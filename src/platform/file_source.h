#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "platform/audio_backend.h"
#include "platform/consumer_gate.h"
#include "platform/sample_ring.h"
#include "platform/sound_files.h"

namespace dvx {

// A sound file as a source of frames for a stream callback (`WaveFile1`, `WaveFile2`, and the
// file inside each player). The backend's background work decodes it ahead into a queue of 25
// buffers; loading a file fills that queue before it returns, so playback starts at once.
//
// Threads: everything but pull() on the main thread; pull() on the one consumer, the callback
// of the stream that plays the source. A new file or position may be set while that stream
// runs: the consumer gets silence for the moment of the change, never a torn buffer.
class FileSource {
  public:
    enum class State {
        Empty,    // no file
        Busy,     // the main thread is changing the file or position right now
        Playing,  // frames delivered, more to come
        Ended     // everything delivered
    };
    struct Pulled {
        int frames = 0;
        State state = State::Empty;
    };

    FileSource(AudioBackend& backend, SoundFiles& files, int channels = 2);
    ~FileSource();
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    // Loads the file (full path) from its start; an empty path releases the file. Throws
    // IoError when the file cannot be read, leaving no file loaded.
    void setFileName(const std::filesystem::path& path);
    const std::filesystem::path& fileName() const { return m_fileName; }
    bool isLoaded() const { return m_loaded.load(std::memory_order_acquire); }
    int channels() const { return m_channels; }

    std::int64_t lengthMs() const { return framesToMs(m_lengthFrames); }
    std::int64_t positionMs() const;
    void setPositionMs(std::int64_t ms);  // clamped to 0..length
    // The loaded file has been delivered to its end.
    bool hasEnded() const;

    // Consumer: up to `frames` frames into `out` (the rest of `out` is left as it was).
    Pulled pull(std::int16_t* out, int frames) noexcept;

  private:
    void change(const std::function<void()>& action);
    void unloadNow();
    // Background work: decodes while the queue has room; false once the file is decoded to its
    // end (or none is loaded).
    bool topUp() noexcept;

    SoundFiles& m_files;
    const int m_channels;
    SampleRing m_ring;
    ConsumerGate m_gate;
    std::vector<std::int16_t> m_scratch;    // one buffer of decoded frames
    std::unique_ptr<SoundReader> m_reader;  // used by the work, or with the work held
    std::filesystem::path m_fileName;
    std::int64_t m_lengthFrames = 0;
    std::atomic<bool> m_loaded{false};
    std::atomic<bool> m_readerDone{false};    // the reader has given all it has
    std::atomic<std::int64_t> m_position{0};  // frames delivered, counted from the file start
    std::unique_ptr<BackgroundWork> m_work;   // last: stopped before the rest goes
};

}  // namespace dvx
