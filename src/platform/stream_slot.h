#pragma once

#include <functional>
#include <memory>

#include "platform/audio_backend.h"

namespace dvx {

// The one device stream of a component: opened on a device, started, stopped and closed, and
// a lost device noticed once. Main thread only.
class StreamSlot {
  public:
    explicit StreamSlot(AudioBackend& backend) : m_backend(backend) {}
    ~StreamSlot() { close(); }
    StreamSlot(const StreamSlot&) = delete;
    StreamSlot& operator=(const StreamSlot&) = delete;

    // Each throws AudioError, leaving the slot closed.
    void openInput(int device, int channels, CaptureSink& sink);
    void openOutput(int device, int channels, RenderSource& source);
    void start();  // throws AudioError; the stream must be open

    void stop();   // when it returns, the stream's callback is not running
    void close();  // stops first

    bool isOpen() const { return m_stream != nullptr; }
    bool isRunning() const { return m_stream != nullptr && m_stream->isRunning(); }

    // True once for each stream whose device has been lost; the stream is closed then.
    bool takeFailure();

  private:
    AudioBackend& m_backend;
    std::unique_ptr<AudioStream> m_stream;
};

}  // namespace dvx
