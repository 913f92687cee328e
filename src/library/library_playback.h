#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "common/clock.h"
#include "library/button_colours.h"
#include "platform/wave_player.h"

namespace dvx {

class AudioBackend;
class AudioEventPump;
class SoundFiles;

// The buttons of a library window whose colour or focus its form sets.
enum class LibraryButton { Play, Pause, Stop, EOM, Record };

// The sound devices and files a library window plays on.
struct LibraryDevices {
    Clock& clock;
    AudioBackend& audio;
    SoundFiles& soundFiles;
    AudioEventPump& pump;
};

// What a library window's player shows. Every text is set by the program and never counts as
// a user's edit. Main thread only.
class PlaybackView {
  public:
    virtual ~PlaybackView() = default;
    virtual void setButtonColour(LibraryButton button, Rgb colour) = 0;
    // `TrackBar`, in milliseconds.
    virtual void setTrackBarRange(std::int64_t maximumMs) = 0;
    virtual void setTrackBarPosition(std::int64_t positionMs) = 0;
    // The position played, or the time a recording has run, in the clock form.
    virtual void showTime(const std::string& text) = 0;
};

// What a library window's play and record controls show, beyond the player. Main thread only.
class SoundView : public PlaybackView {
  public:
    virtual void setRecordButton(const std::string& caption, Rgb colour) = 0;  // `cmdRecord`
    virtual void focusButton(LibraryButton button) = 0;
    virtual void setTrackBarVisible(bool visible) = 0;
    virtual void setTrackBarEnabled(bool enabled) = 0;
    virtual void setAutoStartChecked(bool checked) = 0;  // `Check1`, not a user's toggle
};

// The player of a library window (`WavePlayer` with its track bar): one entry of a catalogue
// at a time, the position and the time played, the end-of-message point it has reached, and
// the colours of Play, Pause and EOM that tell all this. Main thread only.
class LibraryPlayback {
  public:
    LibraryPlayback(LibraryDevices devices, PlaybackView& view);
    LibraryPlayback(const LibraryPlayback&) = delete;
    LibraryPlayback& operator=(const LibraryPlayback&) = delete;

    void setDevice(int AudOutDevice) { m_player.setDevice(AudOutDevice); }
    // Play, Pause and EOM in their resting colours.
    void showAtRest();
    // Runs once a playback has ended and the display is back at rest.
    void setOnEnded(std::function<void()> onEnded) { m_onEnded = std::move(onEnded); }

    // Plays `file` from the start as entry `number`, whose end-of-message point is `eomSeconds`;
    // what played before is cut. Throws IoError or AudioError when it cannot play (a playback
    // that the failed load cut has ended by then).
    void play(int number, const std::filesystem::path& file, std::int32_t eomSeconds);
    bool isPausedOn(int number) const { return m_paused && m_number == number; }
    void resume();  // a paused playback goes on
    void pause();   // while playing: Pause yellow, Play green
    void stop();    // back to the start and at rest; the player's done event follows
    // Releases the file, at rest, nothing pending.
    void close();

    // "EOM" while playing: `store` writes the mark at the position played, in whole seconds,
    // into the entry in the player (whichever the window shows now); then the EOM button is
    // cyan and the mark is the entry's point. Nothing when nothing plays, or when `store`
    // throws (which goes on to the caller).
    void markEom(const std::function<void(int number, std::int32_t seconds)>& store);
    // The track bar moved: the position follows; before the end-of-message point the EOM
    // button is dark blue again.
    void seek(std::int64_t positionMs);
    // Every tick of the window's timer: the track bar, the EOM colour and the time played.
    void tick();

    bool isPlaying() const { return m_playing; }
    bool isPaused() const { return m_paused; }
    int number() const { return m_number; }  // the entry in the player, 0 when none

  private:
    void started();
    void ended();

    PlaybackView& m_view;
    WavePlayer m_player;  // `WavePlayer`
    std::function<void()> m_onEnded;
    bool m_playing = false;  // the playing flag
    bool m_paused = false;
    int m_number = 0;
    std::int32_t m_eomSeconds = 0;  // the `EOM` of the entry in the player
};

}  // namespace dvx
