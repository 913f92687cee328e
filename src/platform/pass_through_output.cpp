#include "platform/pass_through_output.h"

#include <algorithm>

namespace dvx {

PassThroughOutput::PassThroughOutput(AudioBackend& backend, AudioEventPump& pump, SampleRing& ring,
                                     VolumeStage& fader)
    : StreamComponent(backend, pump, false), m_ring(ring), m_fader(fader) {}

PassThroughOutput::~PassThroughOutput() {
    m_slot.close();
}

void PassThroughOutput::start() {
    m_wanted = true;
    if (m_slot.isRunning()) {
        return;
    }
    endConsuming();
    try {
        startStream();
    } catch (const CarryRefused&) {
        // Opened once more, the backend hands out the program's own live output.
        m_slot.close();
        startStream();
    }
}

void PassThroughOutput::startStream() {
    if (!m_slot.isOpen()) {
        m_carried = nullptr;
        m_carried = m_slot.openCarriedPassThrough(m_inputDevice, m_device, m_channels);
        if (m_carried == nullptr) {
            m_slot.openLiveOutput(m_device, m_channels, *this);
        }
    }
    if (CarriedPassThrough* stream = carried()) {
        stream->setGain(m_fader.volume());
    } else {
        // The ring may only be emptied by its consumer, so the callback does it.
        m_flushRequested.store(true);
        m_priming = true;
    }
    m_slot.start();
}

void PassThroughOutput::setVolume(int volume) {
    m_fader.setVolume(volume);
    if (CarriedPassThrough* stream = carried()) {
        stream->setGain(volume);
    }
}

void PassThroughOutput::stop() {
    m_wanted = false;
    m_slot.close();
    endConsuming();
}

void PassThroughOutput::restart() {
    if (m_wanted && !m_slot.isRunning()) {
        start();
    }
}

std::uint64_t PassThroughOutput::droppedFrames() const {
    std::uint64_t dropped = m_droppedBefore;
    if (m_consuming.load(std::memory_order_acquire)) {
        dropped += m_ring.droppedSamples() - m_dropBase.load(std::memory_order_relaxed);
    }
    return dropped / static_cast<std::uint64_t>(m_channels);
}

std::uint64_t PassThroughOutput::shortFrames() const {
    return m_shortSamples.load(std::memory_order_relaxed) / static_cast<std::uint64_t>(m_channels);
}

void PassThroughOutput::endConsuming() {
    if (m_consuming.exchange(false)) {
        m_droppedBefore += m_ring.droppedSamples() - m_dropBase.load(std::memory_order_relaxed);
    }
}

void PassThroughOutput::render(std::int16_t* samples, int frames, int channels) noexcept {
    const std::size_t wanted = static_cast<std::size_t>(frames) * channels;
    const std::size_t prime = 2 * wanted;
    if (m_flushRequested.exchange(false)) {
        if (m_ring.available() > prime) {
            m_ring.discard(m_ring.available() - prime);  // keep only the newest two buffers
        }
        m_played = false;
        m_lowWindow = 0;
        m_lastWritten = m_ring.totalWritten();
        m_dropBase.store(m_ring.droppedSamples(), std::memory_order_relaxed);
        m_consuming.store(true, std::memory_order_release);
    }
    const std::uint64_t written = m_ring.totalWritten();
    const bool captureDelivered = written != m_lastWritten;
    m_lastWritten = written;
    const std::size_t queued = m_ring.available();
    const std::size_t needed = m_priming ? prime : wanted;
    if (queued < needed) {
        if (m_played && captureDelivered) {
            m_shortSamples.fetch_add(wanted, std::memory_order_relaxed);
        }
        m_priming = true;
        std::fill(samples, samples + wanted, std::int16_t{0});
        return;
    }
    m_priming = false;
    m_played = true;
    trimBacklog(queued, prime, frames);
    m_ring.read(samples, wanted);
    m_fader.apply(samples, wanted);
}

void PassThroughOutput::trimBacklog(std::size_t queued, std::size_t prime, int frames) noexcept {
    m_lowest = m_lowWindow == 0 ? queued : std::min(m_lowest, queued);
    if (++m_lowWindow < std::max(1, kTrimWindowFrames / frames)) {
        return;
    }
    m_lowWindow = 0;
    if (m_lowest > prime) {
        // Never needed over the whole window: a backlog the capture left (a burst at its start,
        // a stall it caught up after), which would otherwise delay the sound from now on.
        m_ring.discard(m_lowest - prime);
    }
}

void PassThroughOutput::dispatchEvents() {
    if (takeDeviceFailure()) {
        endConsuming();
    }
}

}  // namespace dvx
