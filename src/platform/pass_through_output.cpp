#include "platform/pass_through_output.h"

#include <algorithm>

namespace dvx {

PassThroughOutput::PassThroughOutput(AudioBackend& backend, AudioEventPump& pump, SampleRing& ring,
                                     VolumeStage& fader)
    : StreamComponent(backend, pump), m_ring(ring), m_fader(fader) {}

PassThroughOutput::~PassThroughOutput() {
    m_slot.close();
}

void PassThroughOutput::start() {
    if (m_slot.isRunning()) {
        return;
    }
    if (!m_slot.isOpen()) {
        m_slot.openOutput(m_device, m_channels, *this);
    }
    // The ring may only be emptied by its consumer, so the callback does it.
    m_flushRequested.store(true);
    m_priming = true;
    m_slot.start();
}

void PassThroughOutput::stop() {
    m_slot.close();
}

void PassThroughOutput::render(std::int16_t* samples, int frames, int channels) noexcept {
    const std::size_t wanted = static_cast<std::size_t>(frames) * channels;
    const std::size_t prime = static_cast<std::size_t>(kPrimeFrames) * channels;
    if (m_flushRequested.exchange(false) && m_ring.available() > prime) {
        m_ring.discard(m_ring.available() - prime);  // keep only the newest two buffers
    }
    const std::size_t queued = m_ring.available();
    const std::size_t needed = m_priming ? std::max(wanted, prime) : wanted;
    if (queued < needed) {
        m_priming = true;
        std::fill(samples, samples + wanted, std::int16_t{0});
        return;
    }
    m_priming = false;
    m_ring.read(samples, wanted);
    m_fader.apply(samples, wanted);
}

void PassThroughOutput::dispatchEvents() {
    takeDeviceFailure();
}

}  // namespace dvx
