#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "platform/sample_ring.h"
#include "platform/stream_component.h"
#include "platform/volume_stage.h"

namespace dvx {

// The live pass-through output (`WaveOut1`): renders the ring buffer (`MMRingBufferX1`)
// through the volume stage (`Fader`) to an output device.
//
// The ring's content is played in whole device buffers. The output waits until two of its
// buffers are queued before it plays (at start and after running short), which absorbs the
// jitter between the capture and output callbacks at the cost of one or two buffers of delay;
// the backend's live output keeps those buffers small. When the ring runs short the output
// plays silence rather than part of a buffer. Starting the output throws away all but the
// newest two buffers in the ring, so the audio never lags behind by what was queued while the
// output was off. A backlog that builds up while it plays (the capture delivering a burst after
// a stall, or at its start) is cut back to the two buffers once the queue has stayed above them
// for half a second, so the delay returns to its least.
//
// It keeps two counts of lost sound: frames the capture could not put into the ring because
// the output had fallen behind (while the output plays; a ring filling up while the output is
// off loses nothing of what goes on air), and frames of silence it played because the ring ran
// short while the capture was delivering (not while the feed itself is away).
//
// Where the backend's sound system can carry the pass-through by itself (a loopback on the sound
// server), it does, from the capture's device to the output's: the program's callbacks then
// never wake for it, the fader's volume becomes the carried stream's gain, and the ring is left
// to the capture alone. Lost sound on that path is the sound system's to count, not these
// counters'. Where the sound system will not carry it after all, the output passes the sound
// through the ring as above.
//
// Threads: every public function on the main thread; the stream renders on its callback
// thread (no allocation, no locks). The ring's producer is the capture.
class PassThroughOutput : public StreamComponent, private RenderSource {
  public:
    PassThroughOutput(AudioBackend& backend, AudioEventPump& pump, SampleRing& ring,
                      VolumeStage& fader);
    ~PassThroughOutput() override;

    void setChannels(int channels) { m_channels = channels == 1 ? 1 : 2; }  // as the capture
    // The capture's device, the source of a carried pass-through; used when next opened.
    void setInputDevice(int device) { m_inputDevice = device; }
    // The fader's volume, heard at once on a carried pass-through too.
    void setVolume(int volume);
    bool isCarried() const { return carried() != nullptr; }

    void start();  // opens the device when needed; throws AudioError
    void stop();   // closes the device
    void restart() override;

    std::uint64_t droppedFrames() const;
    std::uint64_t shortFrames() const;

  private:
    void render(std::int16_t* samples, int frames, int channels) noexcept override;
    void dispatchEvents() override;
    // It runs all the while the station is armed, and only a lost device is news.
    bool wantsQuickEvents() const override { return false; }
    void startStream();
    CarriedPassThrough* carried() const { return m_slot.isOpen() ? m_carried : nullptr; }
    void endConsuming();  // the stream is closed: its share of the ring's drops is final
    void trimBacklog(std::size_t queued, std::size_t prime, int frames) noexcept;

    static constexpr int kTrimWindowFrames = kSampleRate / 2;

    SampleRing& m_ring;
    VolumeStage& m_fader;
    int m_channels = 2;
    int m_inputDevice = 0;
    CarriedPassThrough* m_carried = nullptr;  // the slot's stream, when it is carried
    // Callback thread only (set up again by the first render after a start).
    bool m_priming = true;
    bool m_played = false;            // has played sound since it started
    int m_lowWindow = 0;              // renders into the current trim window
    std::size_t m_lowest = 0;         // the ring's least fill at a render in that window
    std::uint64_t m_lastWritten = 0;  // the ring's producer position at the last render
    std::atomic<bool> m_flushRequested{false};
    // Drops of the ring while this output consumes it: counted from m_dropBase, set by the
    // first render after a start; m_droppedBefore holds those of earlier runs (main thread).
    std::atomic<bool> m_consuming{false};
    std::atomic<std::uint64_t> m_dropBase{0};
    std::uint64_t m_droppedBefore = 0;
    std::atomic<std::uint64_t> m_shortSamples{0};
};

}  // namespace dvx
