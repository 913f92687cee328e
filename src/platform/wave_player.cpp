#include "platform/wave_player.h"

#include <algorithm>

namespace dvx {

WavePlayer::WavePlayer(AudioBackend& backend, SoundFiles& files, AudioEventPump& pump)
    : StreamComponent(backend, pump, false), m_source(backend, files, 2) {}

WavePlayer::~WavePlayer() {
    m_slot.close();
}

void WavePlayer::setFileName(const std::filesystem::path& path) {
    if (m_state != State::Stopped) {
        m_slot.close();
        m_ended.store(false);
        m_state = State::Stopped;
    }
    m_source.setFileName(path);
}

void WavePlayer::play() {
    if (m_state == State::Playing) {
        return;
    }
    expectEvents();  // its end, or at once its done event, starts what plays next
    if (!m_source.isLoaded()) {
        m_state = State::Stopped;
        m_donePending = true;
        return;
    }
    if (m_state == State::Stopped && m_source.hasEnded()) {
        m_source.setPositionMs(0);
    }
    if (!m_slot.isOpen()) {
        m_slot.openOutput(m_device, 2, *this);
    }
    m_ended.store(false);
    m_slot.start();
    m_state = State::Playing;
}

void WavePlayer::pause() {
    if (m_state == State::Playing) {
        m_slot.stop();
        m_state = State::Paused;
    }
}

void WavePlayer::stop() {
    if (m_state == State::Stopped) {
        return;
    }
    finish();
    m_source.setPositionMs(0);
}

void WavePlayer::finish() {
    m_slot.close();
    m_ended.store(false);  // an end noticed by the callback is this same playback's end
    m_state = State::Stopped;
    m_donePending = true;
}

void WavePlayer::render(std::int16_t* samples, int frames, int channels) noexcept {
    const FileSource::Pulled pulled = m_source.pull(samples, frames);
    std::fill(samples + static_cast<std::size_t>(pulled.frames) * channels,
              samples + static_cast<std::size_t>(frames) * channels, std::int16_t{0});
    if (pulled.state == FileSource::State::Ended) {
        m_ended.store(true);
    }
    if (LevelTap* tap = m_tap.load(std::memory_order_relaxed)) {
        tap->feed(samples, frames, channels);
    }
}

void WavePlayer::dispatchEvents() {
    const bool failed = takeDeviceFailure();
    if (m_state != State::Stopped && (failed || (m_state == State::Playing && m_ended.load()))) {
        finish();
    }
    if (m_donePending) {
        m_donePending = false;
        if (m_onDone) {
            m_onDone();
        }
    }
}

}  // namespace dvx
