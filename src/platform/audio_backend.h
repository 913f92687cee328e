#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace dvx {

// The working format of every stream: 16-bit PCM at 44100 Hz, interleaved. Device buffers are
// 4096 bytes, which is 1024 stereo frames (about 23.2 ms).
inline constexpr int kSampleRate = 44100;
inline constexpr int kBufferBytes = 4096;
inline constexpr int kStereoFramesPerBuffer = kBufferBytes / 4;

// A device or stream that could not be opened, started or kept running.
class AudioError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Receives every captured buffer. Called on the audio thread (or, for virtual devices under a
// simulated clock, on the main thread): must not block, allocate or lock.
class CaptureSink {
public:
    virtual ~CaptureSink() = default;
    virtual void onCaptured(const std::int16_t* samples, int frames, int channels) noexcept = 0;
};

// Fills every buffer an output device asks for. Same thread rules as CaptureSink.
class RenderSource {
public:
    virtual ~RenderSource() = default;
    virtual void render(std::int16_t* samples, int frames, int channels) noexcept = 0;
};

// One open device stream. Main thread only.
class AudioStream {
public:
    virtual ~AudioStream() = default;
    virtual void start() = 0;  // throws AudioError
    virtual void stop() = 0;
    virtual bool isRunning() const = 0;
    // True once the device has gone away (unplugged card, sound server restart).
    virtual bool hasFailed() const = 0;
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
};

}  // namespace dvx
