#include "platform/wave_input.h"

namespace dvx {

WaveInput::WaveInput(AudioBackend& backend, AudioEventPump& pump)
    : StreamComponent(backend, pump, true) {}

WaveInput::~WaveInput() {
    m_slot.close();
}

void WaveInput::open() {
    if (!m_slot.isOpen()) {
        m_slot.openInput(m_device, m_channels, *this);
    }
}

void WaveInput::start() {
    m_wanted = true;
    open();
    m_slot.start();
}

void WaveInput::stop() {
    m_wanted = false;
    m_slot.stop();
}

void WaveInput::close() {
    m_wanted = false;
    m_slot.close();
}

void WaveInput::restart() {
    if (m_wanted && !m_slot.isRunning()) {
        start();
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
    if (CaptureSink* sink = m_sink.load(std::memory_order_acquire)) {
        sink->onCaptured(samples, frames, channels);
    }
    if (CaptureObserver* observer = m_observer.load(std::memory_order_acquire)) {
        observer->onBuffer({samples, frames, channels, peaks});
    }
    m_buffers.fetch_add(1, std::memory_order_relaxed);
}

void WaveInput::dispatchEvents() {
    takeDeviceFailure();
}

}  // namespace dvx
