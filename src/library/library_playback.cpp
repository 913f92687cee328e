#include "library/library_playback.h"

#include "common/time_text.h"

namespace dvx {

LibraryPlayback::LibraryPlayback(LibraryDevices devices, PlaybackView& view)
    : m_view(view), m_player(devices.audio, devices.soundFiles, devices.pump) {
    m_player.setOnDone([this] {
        if (!m_player.isPlaying() && !m_player.isPaused()) {
            ended();  // not the done event of a playback that a newer one has replaced
        }
    });
}

void LibraryPlayback::play(int number, const std::filesystem::path& file, std::int32_t eomSeconds) {
    try {
        // A new file cuts the one playing without a done event: this play replaces it.
        m_player.setFileName(file);
        m_view.setTrackBarRange(m_player.lengthMs());
        m_player.play();
    } catch (const std::exception&) {
        if (m_playing && !m_player.isPlaying()) {
            ended();  // the earlier playback was cut by the failed load
        }
        throw;
    }
    m_number = number;
    m_eomSeconds = eomSeconds;
    started();
}

void LibraryPlayback::resume() {
    m_player.play();  // from where it was paused
    started();
}

void LibraryPlayback::started() {
    m_paused = false;
    m_view.setButtonColour(LibraryButton::Pause, kPauseIdle);
    m_view.setButtonColour(LibraryButton::Play, kPlayPlaying);
    m_playing = true;
}

void LibraryPlayback::pause() {
    if (!m_playing) {
        return;
    }
    m_paused = true;
    m_player.pause();
    m_view.setButtonColour(LibraryButton::Pause, kPausePaused);
    m_view.setButtonColour(LibraryButton::Play, kPlayIdle);
}

void LibraryPlayback::stop() {
    m_player.stop();  // its done event follows from the event pump
    m_paused = false;
    showAtRest();
    m_view.setTrackBarPosition(0);
    m_playing = false;
    m_number = 0;
}

void LibraryPlayback::close() {
    m_player.stop();
    m_player.setFileName({});
    m_playing = m_paused = false;
    m_number = 0;
}

void LibraryPlayback::showAtRest() {
    m_view.setButtonColour(LibraryButton::Play, kPlayIdle);
    m_view.setButtonColour(LibraryButton::Pause, kPauseIdle);
    m_view.setButtonColour(LibraryButton::EOM, kEomBefore);
}

void LibraryPlayback::ended() {
    m_view.setTrackBarPosition(0);
    showAtRest();
    m_view.showTime("    ");
    m_playing = m_paused = false;
    m_number = 0;
    if (m_onEnded) {
        m_onEnded();
    }
}

void LibraryPlayback::markEom(const std::function<void(int, std::int32_t)>& store) {
    if (!m_playing || m_number == 0) {
        return;
    }
    const std::int32_t seconds = roundHalfEven(static_cast<double>(m_player.positionMs()) / 1000.0);
    store(m_number, seconds);
    m_eomSeconds = seconds;
    m_view.setButtonColour(LibraryButton::EOM, kEomReached);
}

void LibraryPlayback::seek(std::int64_t positionMs) {
    m_player.setPositionMs(positionMs);
    if (roundHalfEven(static_cast<double>(positionMs) / 1000.0) < m_eomSeconds) {
        m_view.setButtonColour(LibraryButton::EOM, kEomBefore);
    }
}

void LibraryPlayback::tick() {
    if (!m_playing || m_paused) {
        return;
    }
    const std::int64_t position = m_player.positionMs();
    m_view.setTrackBarPosition(position);
    const std::int32_t seconds = roundHalfEven(static_cast<double>(position) / 1000.0);
    m_view.setButtonColour(LibraryButton::EOM, seconds < m_eomSeconds ? kEomBefore : kEomReached);
    m_view.showTime(FormatSeconds(seconds));
}

}  // namespace dvx
