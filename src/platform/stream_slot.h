#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/audio_backend.h"

namespace dvx {

// The one device stream of a component: opened on a device, started, stopped and closed, and
// a lost device noticed once. Keeps what its streams met (callbacks, device flags) and how
// often its device failed it, over every stream it has had. Main thread only.
class StreamSlot {
  public:
    explicit StreamSlot(AudioBackend& backend) : m_backend(backend) {}
    ~StreamSlot() { close(); }
    StreamSlot(const StreamSlot&) = delete;
    StreamSlot& operator=(const StreamSlot&) = delete;

    // Each throws AudioError, leaving the slot closed; a refusal counts as a failure.
    void openInput(int device, int channels, CaptureSink& sink);
    void openOutput(int device, int channels, RenderSource& source);
    void openLiveOutput(int device, int channels, RenderSource& source);
    // The backend's carried pass-through, held by the slot; nullptr (and the slot closed) where
    // the backend has none.
    CarriedPassThrough* openCarriedPassThrough(int input, int output, int channels);
    void start();  // throws AudioError; the stream must be open

    void stop();   // when it returns, the stream's callback is not running
    void close();  // stops first

    bool isOpen() const { return m_stream != nullptr; }
    bool isRunning() const { return m_stream != nullptr && m_stream->isRunning(); }
    // Whether its stream has callbacks of the program's to watch (see AudioStream).
    bool callsBack() const { return m_stream == nullptr || m_stream->callsBack(); }

    // True once for each stream whose device has been lost, or that was declared failed; the
    // stream is closed then.
    bool takeFailure();
    // The stream's callbacks have stopped coming: takeFailure() reports it as a lost device.
    void declareFailed() { m_declaredFailed = m_stream != nullptr; }

    // Over every stream of this slot.
    StreamStats stats() const;
    // Devices that went away, streams declared failed, and devices that refused to open or
    // start.
    std::uint64_t failures() const { return m_failures; }

  private:
    template <typename Open>
    void open(Open&& openStream);

    AudioBackend& m_backend;
    std::unique_ptr<AudioStream> m_stream;
    StreamStats m_closedStats;  // of the streams closed before
    std::uint64_t m_failures = 0;
    bool m_declaredFailed = false;
};

}  // namespace dvx
