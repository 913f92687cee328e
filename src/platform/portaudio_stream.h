#pragma once

#include <portaudio.h>

#include <atomic>
#include <vector>

#include "platform/audio_backend.h"

namespace dvx {

// One PortAudio stream in the working format, callback mode. A relaxed stream (fill players,
// the fill mixer) takes 1024 frames per callback and the device's roomy buffering; a live one
// (the capture and the pass-through output, where every buffer of delay goes on air) takes
// kLiveFramesPerBuffer frames, and as an output a few of those buffers of slack. A lost device
// shows as hasFailed(): the stream ended without being stopped (PortAudio's finished callback), or
// it is no longer active while it should run.
//
// Threads: public functions on the main thread; the callbacks on PortAudio's thread, where
// they only hand the buffer on, count it with the device's overflow and underflow flags, and
// set an atomic.
class PortAudioStream : public AudioStream {
  public:
    enum class Latency { Relaxed, Live };
    static constexpr int kLiveFramesPerBuffer = 256;  // about 5.8 ms
    // What a live output buffers at least: three of its buffers (17 ms). With the capture's
    // small buffer and the two the pass-through queues, Net Out runs within 10 ms of the sound
    // server's own loopback, and ten minutes on a busy machine passed without a gap.
    static constexpr double kLiveOutputSlackSeconds = 3.0 * kLiveFramesPerBuffer / kSampleRate;

    // Exactly one of `sink` and `source` is set. Throws AudioError.
    PortAudioStream(int portAudioDevice, int channels, CaptureSink* sink, RenderSource* source,
                    Latency latency);
    ~PortAudioStream() override;
    PortAudioStream(const PortAudioStream&) = delete;
    PortAudioStream& operator=(const PortAudioStream&) = delete;

    void start() override;
    void stop() override;
    bool isRunning() const override { return m_running; }
    bool hasFailed() const override;
    StreamStats stats() const override { return m_counters.read(); }

  private:
    static int onBuffer(const void* input, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo* time, PaStreamCallbackFlags flags,
                        void* self);
    static void onFinished(void* self);

    PaStream* m_stream = nullptr;
    const int m_channels;
    CaptureSink* m_sink;
    RenderSource* m_source;
    std::vector<std::int16_t> m_silence;  // stands in for a missing input buffer
    bool m_running = false;
    StreamCounters m_counters;
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_failed{false};
};

}  // namespace dvx
