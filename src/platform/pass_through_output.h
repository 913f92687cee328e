#pragma once

#include <atomic>
#include <functional>

#include "platform/sample_ring.h"
#include "platform/stream_component.h"
#include "platform/volume_stage.h"

namespace dvx {

// The live pass-through output (`WaveOut1`): renders the ring buffer (`MMRingBufferX1`)
// through the volume stage (`Fader`) to an output device.
//
// The ring's content is played in whole device buffers. The output waits until two buffers
// are queued before it plays (at start and after running short), which absorbs the jitter
// between the capture and output callbacks at the cost of one or two buffers of delay. When
// the ring runs short the output plays silence rather than part of a buffer. Starting the output
// throws away all but the newest two buffers in the ring, so the audio never lags behind by
// what was queued while the output was off.
//
// Threads: every public function on the main thread; the stream renders on its callback
// thread (no allocation, no locks). The ring's producer is the capture.
class PassThroughOutput : public StreamComponent, private RenderSource {
  public:
    static constexpr int kPrimeFrames = 2 * kFramesPerBuffer;

    PassThroughOutput(AudioBackend& backend, AudioEventPump& pump, SampleRing& ring,
                      VolumeStage& fader);
    ~PassThroughOutput() override;

    void setChannels(int channels) { m_channels = channels == 1 ? 1 : 2; }  // as the capture

    void start();  // opens the device when needed; throws AudioError
    void stop();   // closes the device

  private:
    void render(std::int16_t* samples, int frames, int channels) noexcept override;
    void dispatchEvents() override;

    SampleRing& m_ring;
    VolumeStage& m_fader;
    int m_channels = 2;
    bool m_priming = true;  // callback thread only (reset while stopped)
    std::atomic<bool> m_flushRequested{false};
};

}  // namespace dvx
