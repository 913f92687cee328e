#pragma once

#include <atomic>
#include <filesystem>
#include <functional>

#include "platform/file_source.h"
#include "platform/level_tap.h"
#include "platform/stream_component.h"

namespace dvx {

// A player (`WavePlayer1`, `WavePlayer2`): plays one sound file in stereo on an output device,
// with an optional level tap (`MMConnectorX2`, `MMConnectorX3`).
//
// Done: when a playback that was started ends (the file ran out, the device was lost) or is
// stopped, the done callback runs once, on the main thread, from the event pump: never inside
// stop() itself. Replacing the file of a playing player cuts the old playback without a done
// event, since the player is about to play the new one. play() with no file loaded (none set,
// or it could not be read) counts as a playback that ends at once.
//
// Threads: every public function on the main thread; the stream renders on its callback
// thread (no allocation, no locks); the file is decoded by the backend's background work.
class WavePlayer : public StreamComponent, private RenderSource {
  public:
    WavePlayer(AudioBackend& backend, SoundFiles& files, AudioEventPump& pump);
    ~WavePlayer() override;

    void setTap(LevelTap* tap) { m_tap.store(tap); }
    void setOnDone(std::function<void()> onDone) { m_onDone = std::move(onDone); }

    // Full path; empty releases the file. Throws IoError when the file cannot be read.
    void setFileName(const std::filesystem::path& path);
    const std::filesystem::path& fileName() const { return m_source.fileName(); }

    void play();  // from the position (from the start after an ended playback); throws AudioError
    void pause();
    void stop();  // back to the start

    bool isPlaying() const { return m_state == State::Playing; }
    bool isPaused() const { return m_state == State::Paused; }
    std::int64_t lengthMs() const { return m_source.lengthMs(); }
    std::int64_t positionMs() const { return m_source.positionMs(); }
    void setPositionMs(std::int64_t ms) { m_source.setPositionMs(ms); }

  private:
    enum class State { Stopped, Playing, Paused };

    void render(std::int16_t* samples, int frames, int channels) noexcept override;
    void dispatchEvents() override;
    bool wantsQuickEvents() const override {
        return m_donePending || m_state != State::Stopped || StreamComponent::wantsQuickEvents();
    }
    void finish();  // a started playback is over: close the stream, done follows

    FileSource m_source;
    State m_state = State::Stopped;
    bool m_donePending = false;
    std::atomic<bool> m_ended{false};  // set by the callback when the file has run out
    std::atomic<LevelTap*> m_tap{nullptr};
    std::function<void()> m_onDone;
};

}  // namespace dvx
