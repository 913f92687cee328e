#pragma once

#include <atomic>
#include <functional>

#include "platform/level_tap.h"
#include "platform/stream_component.h"
#include "platform/wave_mixer.h"

namespace dvx {

// What the fill output tells the main window.
enum class FillNotification {
    // The output cannot go on (its device was lost; the device-failed callback runs too): the
    // fill outputs should be stopped.
    StopOutputs,
    // The fill has finished: both mixer inputs have run dry (or were emptied) after at least
    // one of them was busy (playing, held, or being loaded). Raised once per such end, and
    // again only after an input has been busy since. Also raised between two items when the
    // first file runs out before the second is loaded; the receiver decides whether the fill
    // as a whole is over. The output keeps running (silence) until it is stopped.
    FillFinished,
};

// The fill output (`WaveOut2`): plays the mixer on an output device in stereo, with an optional
// level tap (`MMConnectorX4`).
//
// Threads: every public function on the main thread; notifications run on the main thread
// from the event pump; the stream renders on its callback thread (no allocation, no locks).
class MixerOutput : public StreamComponent, private RenderSource {
  public:
    MixerOutput(AudioBackend& backend, AudioEventPump& pump, WaveMixer& mixer);
    ~MixerOutput() override;

    void setTap(LevelTap* tap) { m_tap.store(tap); }
    void setOnNotification(std::function<void(FillNotification)> callback) {
        m_onNotification = std::move(callback);
    }

    void start();  // opens the device when needed; throws AudioError
    void stop();   // closes the device
    void restart() override;

  private:
    void render(std::int16_t* samples, int frames, int channels) noexcept override;
    void dispatchEvents() override;
    void notify(FillNotification notification);

    WaveMixer& m_mixer;
    bool m_hadSound = false;              // callback thread only (reset while stopped)
    std::atomic<bool> m_finished{false};  // set by the callback
    std::atomic<LevelTap*> m_tap{nullptr};
    std::function<void(FillNotification)> m_onNotification;
};

}  // namespace dvx
