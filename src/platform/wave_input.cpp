#include "platform/wave_input.h"

namespace dvx {

WaveInput::WaveInput(AudioBackend& backend, AudioEventPump& pump)
    : StreamComponent(backend, pump, true) {}

WaveInput::~WaveInput() {
    m_slot.close();
}

void WaveInput::addSink(CaptureSink& sink) {
    if (!m_sinks.add(&sink)) {
        throw AudioError("The sound input has no room for another recording");
    }
}

void WaveInput::addObserver(CaptureObserver& observer) {
    if (!m_observers.add(&observer)) {
        throw AudioError("The sound input has no room for another level test");
    }
}

void WaveInput::open() {
    if (!m_slot.isOpen()) {
        m_slot.openInput(m_device, m_channels, *this);
    }
}

void WaveInput::start(CaptureUser user) {
    if (user == CaptureUser::Monitor) {
        m_monitor = true;
    } else if (user == CaptureUser::Meters) {
        m_meters = true;
    } else {
        ++m_recorders;
    }
    m_wanted = true;
    if (!m_slot.isRunning()) {
        open();
        m_slot.start();
    }
}

void WaveInput::drop(CaptureUser user) {
    if (user == CaptureUser::Monitor) {
        m_monitor = false;
    } else if (user == CaptureUser::Meters) {
        m_meters = false;
    } else if (m_recorders > 0) {
        --m_recorders;
    }
    m_wanted = m_monitor || m_meters || m_recorders > 0;
}

void WaveInput::stop(CaptureUser user) {
    drop(user);
    if (!m_wanted) {
        m_slot.stop();
    }
}

void WaveInput::close(CaptureUser user) {
    drop(user);
    if (!m_wanted) {
        m_slot.close();
    }
}

void WaveInput::restart() {
    if (m_wanted && !m_slot.isRunning()) {
        open();
        m_slot.start();
    }
}

Peaks WaveInput::lastPeaks() const noexcept {
    const std::uint32_t packed = m_peaks.load(std::memory_order_relaxed);
    return {static_cast<std::int16_t>(packed >> 16), static_cast<std::int16_t>(packed & 0xFFFFu)};
}

void WaveInput::onCaptured(const std::int16_t* samples, int frames, int channels) noexcept {
    const Peaks peaks = WaveHelper::peaks(samples, frames, channels);
    m_peaks.store((static_cast<std::uint32_t>(static_cast<std::uint16_t>(peaks.left)) << 16) |
                      static_cast<std::uint16_t>(peaks.right),
                  std::memory_order_relaxed);
    if (LevelTap* tap = m_tap.load(std::memory_order_acquire)) {
        tap->publish(peaks);
    }
    const std::size_t count = static_cast<std::size_t>(frames) * channels;
    if (SampleRing* ring = m_ring.load(std::memory_order_acquire)) {
        ring->write(samples, count);
    }
    m_sinks.forEach([&](CaptureSink& sink) { sink.onCaptured(samples, frames, channels); });
    const CapturedBuffer buffer{samples, frames, channels, peaks};
    m_observers.forEach([&](CaptureObserver& observer) { observer.onBuffer(buffer); });
    m_buffers.fetch_add(1, std::memory_order_relaxed);
}

void WaveInput::dispatchEvents() {
    takeDeviceFailure();
}

}  // namespace dvx
