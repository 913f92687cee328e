#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace dvx {

// The working format of every stream: 16-bit PCM at 44100 Hz, interleaved, stereo or mono.
// Device buffers hold 1024 frames: 4096 bytes in stereo (about 23.2 ms), 2048 bytes in mono.
inline constexpr int kSampleRate = 44100;
inline constexpr int kBufferBytes = 4096;
inline constexpr int kFramesPerBuffer = kBufferBytes / 4;
inline constexpr int kStereoFramesPerBuffer = kFramesPerBuffer;
// Capture, output and decoding queues hold this many stereo device buffers.
inline constexpr int kQueueBuffers = 25;

// Milliseconds <-> frames at the working rate.
inline constexpr std::int64_t framesToMs(std::int64_t frames) {
    return frames * 1000 / kSampleRate;
}
inline constexpr std::int64_t msToFrames(std::int64_t ms) {
    return ms * kSampleRate / 1000;
}

// A device or stream that could not be opened, started or kept running.
class AudioError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Receives every captured buffer. Called on the stream's callback thread (see
// AudioBackend::startBackgroundWork for which thread that is): must not block, allocate, lock,
// log or touch Qt.
class CaptureSink {
  public:
    virtual ~CaptureSink() = default;
    virtual void onCaptured(const std::int16_t* samples, int frames, int channels) noexcept = 0;
};

// Fills every buffer an output device asks for (all of it: silence where there is nothing to
// play). Same thread rules as CaptureSink.
class RenderSource {
  public:
    virtual ~RenderSource() = default;
    virtual void render(std::int16_t* samples, int frames, int channels) noexcept = 0;
};

// What a stream's callbacks have met so far.
struct StreamStats {
    std::uint64_t callbacks = 0;
    std::uint64_t overruns = 0;   // buffers the device flagged as overflowed (data lost)
    std::uint64_t underruns = 0;  // buffers the device flagged as underflowed (a gap)

    StreamStats& operator+=(const StreamStats& other) {
        callbacks += other.callbacks;
        overruns += other.overruns;
        underruns += other.underruns;
        return *this;
    }
    bool operator==(const StreamStats&) const = default;
};

// Counts a stream's callbacks. note() on the callback thread (wait-free, no allocation);
// read() on any thread.
class StreamCounters {
  public:
    void note(bool overrun, bool underrun) noexcept {
        m_callbacks.fetch_add(1, std::memory_order_relaxed);
        if (overrun) {
            m_overruns.fetch_add(1, std::memory_order_relaxed);
        }
        if (underrun) {
            m_underruns.fetch_add(1, std::memory_order_relaxed);
        }
    }
    StreamStats read() const noexcept {
        return {m_callbacks.load(std::memory_order_relaxed),
                m_overruns.load(std::memory_order_relaxed),
                m_underruns.load(std::memory_order_relaxed)};
    }

  private:
    std::atomic<std::uint64_t> m_callbacks{0};
    std::atomic<std::uint64_t> m_overruns{0};
    std::atomic<std::uint64_t> m_underruns{0};
};

// One open device stream; closed when destroyed. Main thread only.
class AudioStream {
  public:
    virtual ~AudioStream() = default;
    virtual void start() = 0;  // throws AudioError
    virtual void stop() = 0;   // when it returns, no callback of this stream is running
    virtual bool isRunning() const = 0;
    // True once the device has gone away (unplugged card, sound server restart, stream error).
    // A device that simply stops calling back is not noticed here: see AudioHealthWatch.
    virtual bool hasFailed() const = 0;
    // Callbacks and device flags since the stream was opened.
    virtual StreamStats stats() const = 0;
    // False for a stream the sound system carries by itself: no callback of the program's runs
    // for it, so its stats stay empty and only hasFailed() tells of trouble.
    virtual bool callsBack() const { return true; }
};

// Thrown by CarriedPassThrough::start() when the sound system will not carry the pass-through
// after all (it refuses to, though both devices are there): no device has failed, and the
// backend offers no carried pass-through from then on.
class CarryRefused : public AudioError {
  public:
    using AudioError::AudioError;
};

// A pass-through the sound system carries from an input device to an output device by itself,
// so that no callback of the program's wakes for every few milliseconds of sound. The program
// only sets its gain. Main thread only.
class CarriedPassThrough : public AudioStream {
  public:
    // 0 is silence, 16384 unity gain (as a VolumeStage's volume); heard within a few
    // milliseconds. May be set before the stream starts.
    virtual void setGain(int volume) = 0;
    bool callsBack() const override { return false; }
    StreamStats stats() const override { return {}; }
};

// Work that keeps pace with the streams but must stay out of their callbacks: decoding a file
// ahead of a player, writing a recording to disk. Stopped when destroyed. Main thread only.
class BackgroundWork {
  public:
    virtual ~BackgroundWork() = default;
    // Runs `action` while the work function is not running, so the two never overlap.
    // Exceptions from `action` pass through.
    virtual void runExclusive(const std::function<void()>& action) = 0;
};

// The sound devices of the machine: lists of input and output devices, in the order they are
// enumerated (a stored device index is a position in these lists), and streams on them.
// Main thread only.
class AudioBackend {
  public:
    virtual ~AudioBackend() = default;

    virtual std::string name() const = 0;
    virtual std::vector<std::string> inputDeviceNames() const = 0;
    virtual std::vector<std::string> outputDeviceNames() const = 0;

    // Opens a stream in the working format; `channels` is 1 or 2. Throws AudioError when the
    // index names no device or the device refuses. The sink or source must outlive the stream.
    virtual std::unique_ptr<AudioStream> openInput(int device, int channels, CaptureSink& sink) = 0;
    virtual std::unique_ptr<AudioStream> openOutput(int device, int channels,
                                                    RenderSource& source) = 0;
    // An output where every millisecond of delay is heard (the live pass-through): small
    // device buffers where the backend has a choice. Otherwise as openOutput().
    virtual std::unique_ptr<AudioStream> openLiveOutput(int device, int channels,
                                                        RenderSource& source) {
        return openOutput(device, channels, source);
    }

    // A pass-through the sound system carries by itself from `input` (a position in
    // inputDeviceNames()) to `output`, where the backend has one; nullptr where it has not (the
    // program then passes the sound through a capture and a live output of its own). Throws
    // AudioError as openInput() does.
    virtual std::unique_ptr<CarriedPassThrough> openCarriedPassThrough(int /*input*/,
                                                                       int /*output*/,
                                                                       int /*channels*/) {
        return nullptr;
    }

    // The position in outputDeviceNames() of the sound system's default output, if it has one.
    virtual std::optional<int> defaultOutputDevice() const { return std::nullopt; }
    // Why a backend of the machine's sound system lists no device at all (its sound system
    // could not be started or reached); empty when it started.
    virtual std::string startupProblem() const { return {}; }

    // Starts `work`, a short function that tops up or drains a queue and returns whether it
    // has more to do (a file not yet decoded to its end, a recording under way). Once it says
    // no, it need not run again until the next runExclusive(), through which its owner changes
    // what it works on.
    //
    // This is the seam between real time and simulated time. Real devices call their callbacks
    // on their own threads, so the work runs every few milliseconds on a worker thread of its
    // own while it has more to do, and sleeps while it has not. Virtual devices deliver their
    // buffers from a clock timer on the main thread; they run every registered work on the main
    // thread just before each buffer they deliver, in the order the works were started. A run under
    // the simulated clock is then the same every time: a player's file is decoded synchronously
    // ahead of each render, a recording is written between buffers, and no thread races a test's
    // reading of the result.
    //
    // The PortAudio and virtual backends provide it; a stand-in that only lists devices may
    // leave it out, and then refuses the components that need it.
    virtual std::unique_ptr<BackgroundWork> startBackgroundWork(std::function<bool()> /*work*/) {
        throw AudioError("The " + name() + " sound devices cannot play or record files");
    }
};

}  // namespace dvx
