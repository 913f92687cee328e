#include "platform/mixer_output.h"

namespace dvx {

MixerOutput::MixerOutput(AudioBackend& backend, AudioEventPump& pump, WaveMixer& mixer)
    : StreamComponent(backend, pump, false), m_mixer(mixer) {}

MixerOutput::~MixerOutput() {
    m_slot.close();
}

void MixerOutput::start() {
    m_wanted = true;
    if (m_slot.isRunning()) {
        return;
    }
    if (!m_slot.isOpen()) {
        m_slot.openOutput(m_device, 2, *this);
    }
    m_hadSound = false;
    m_finished.store(false);
    m_slot.start();
    expectEvents();
}

void MixerOutput::stop() {
    m_wanted = false;
    m_slot.close();
    m_finished.store(false);
}

void MixerOutput::restart() {
    if (m_wanted && !m_slot.isRunning()) {
        start();
    }
}

void MixerOutput::render(std::int16_t* samples, int frames, int /*channels*/) noexcept {
    const WaveMixer::Mixed mixed = m_mixer.mix(samples, frames);
    if (mixed.anyBusy) {
        m_hadSound = true;
    } else if (m_hadSound) {
        m_hadSound = false;
        m_finished.store(true);
    }
    if (LevelTap* tap = m_tap.load(std::memory_order_relaxed)) {
        tap->feed(samples, frames, 2);
    }
}

void MixerOutput::dispatchEvents() {
    const bool failed = takeDeviceFailure();
    const bool finished = m_finished.exchange(false);
    if (failed) {
        notify(FillNotification::StopOutputs);
    }
    if (finished) {
        notify(FillNotification::FillFinished);
    }
}

void MixerOutput::notify(FillNotification notification) {
    if (m_onNotification) {
        m_onNotification(notification);
    }
}

}  // namespace dvx
