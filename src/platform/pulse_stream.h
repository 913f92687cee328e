#pragma once

#include <pulse/pulseaudio.h>

#include <atomic>
#include <string>
#include <vector>

#include "platform/audio_backend.h"
#include "platform/pulse_server.h"

namespace dvx {

// One PulseAudio stream in the working format, on the backend's shared mainloop. A live stream
// (a capture feeding the program's own pass-through, that pass-through's output) gets fragments
// of kLiveFrames and, as an output, a playback target of kLiveOutputFrames; a relaxed capture
// asks for fragments of a buffer, and a relaxed output (fill players, the fill mixer) keeps
// about 0.19 s queued and is asked for a buffer at a time. Streams are opened corked and are
// never moved to another device by the server: when their device goes, they fail (hasFailed()),
// as a stream on a pulled card does, instead of playing on wherever the server would put them.
//
// Threads: public functions on the main thread. The callbacks run on the mainloop thread, where
// they only peek and drop (capture) or fill the server's own buffers (output), hand them on in
// pieces of at most kFramesPerBuffer frames, count them and set atomics: no lock of ours, no
// allocation. start() and stop() take the mainloop lock, so once stop() returns no callback
// reaches the sink or source.
class PulseStream : public AudioStream {
  public:
    enum class Latency { Relaxed, Live };
    static constexpr int kLiveFrames = 256;  // about 5.8 ms
    // About 17 ms: with the capture's fragment and the pass-through's queue, as the PortAudio
    // live output's slack.
    static constexpr int kLiveOutputFrames = 3 * kLiveFrames;
    static constexpr int kRelaxedOutputFrames = 8 * kFramesPerBuffer;

    // Exactly one of `sink` and `source` is set; `device` is the server's name of the source or
    // sink. Throws AudioError when the device is not there or the server refuses.
    PulseStream(PulseServer& server, const std::string& device, int channels, CaptureSink* sink,
                RenderSource* source, Latency latency);
    ~PulseStream() override;
    PulseStream(const PulseStream&) = delete;
    PulseStream& operator=(const PulseStream&) = delete;

    void start() override;
    void stop() override;
    bool isRunning() const override { return m_running; }
    bool hasFailed() const override { return m_failed.load(std::memory_order_relaxed); }
    StreamStats stats() const override { return m_counters.read(); }

  private:
    static void onState(pa_stream* stream, void* self);
    static void onReadable(pa_stream* stream, std::size_t bytes, void* self);
    static void onWritable(pa_stream* stream, std::size_t bytes, void* self);
    static void onUnderflow(pa_stream* stream, void* self);
    void connect(const std::string& device);
    void deliver(const std::int16_t* samples, std::size_t frames, bool lost) noexcept;
    void takeCaptured() noexcept;
    enum class Fill { Rendered, Silence };
    void fillRequested(Fill fill = Fill::Rendered) noexcept;
    void close();

    PulseServer& m_server;
    pa_stream* m_stream = nullptr;
    const int m_channels;
    const std::size_t m_frameBytes;
    const bool m_live;
    CaptureSink* m_sink;
    RenderSource* m_source;
    std::vector<std::int16_t> m_silence;  // stands in for captured sound the server lost
    // Under the mainloop lock: whether the callbacks hand buffers on, and whether the output
    // ran dry since it last rendered.
    bool m_active = false;
    bool m_underflowed = false;
    bool m_running = false;
    StreamCounters m_counters;
    std::atomic<bool> m_failed{false};
};

}  // namespace dvx
