#include "platform/sample_ring.h"

#include <algorithm>
#include <cstring>

namespace dvx {

SampleRing::SampleRing(std::size_t capacitySamples)
    : m_capacity(std::max<std::size_t>(1, capacitySamples)),
      m_samples(std::make_unique<std::int16_t[]>(m_capacity)) {}

bool SampleRing::write(const std::int16_t* samples, std::size_t count) noexcept {
    const std::uint64_t writePos = m_writePos.load(std::memory_order_relaxed);
    const std::uint64_t readPos = m_readPos.load(std::memory_order_acquire);
    if (count > m_capacity - static_cast<std::size_t>(writePos - readPos)) {
        m_dropped.fetch_add(count, std::memory_order_relaxed);
        return false;
    }
    const std::size_t start = static_cast<std::size_t>(writePos % m_capacity);
    const std::size_t first = std::min(count, m_capacity - start);
    std::memcpy(m_samples.get() + start, samples, first * sizeof(std::int16_t));
    std::memcpy(m_samples.get(), samples + first, (count - first) * sizeof(std::int16_t));
    m_writePos.store(writePos + count, std::memory_order_release);
    return true;
}

std::size_t SampleRing::freeSpace() const noexcept {
    const std::uint64_t writePos = m_writePos.load(std::memory_order_relaxed);
    const std::uint64_t readPos = m_readPos.load(std::memory_order_acquire);
    return m_capacity - static_cast<std::size_t>(writePos - readPos);
}

std::size_t SampleRing::read(std::int16_t* out, std::size_t count) noexcept {
    const std::uint64_t readPos = m_readPos.load(std::memory_order_relaxed);
    const std::uint64_t writePos = m_writePos.load(std::memory_order_acquire);
    count = std::min(count, static_cast<std::size_t>(writePos - readPos));
    const std::size_t start = static_cast<std::size_t>(readPos % m_capacity);
    const std::size_t first = std::min(count, m_capacity - start);
    std::memcpy(out, m_samples.get() + start, first * sizeof(std::int16_t));
    std::memcpy(out + first, m_samples.get(), (count - first) * sizeof(std::int16_t));
    m_readPos.store(readPos + count, std::memory_order_release);
    return count;
}

std::size_t SampleRing::discard(std::size_t count) noexcept {
    const std::uint64_t readPos = m_readPos.load(std::memory_order_relaxed);
    const std::uint64_t writePos = m_writePos.load(std::memory_order_acquire);
    count = std::min(count, static_cast<std::size_t>(writePos - readPos));
    m_readPos.store(readPos + count, std::memory_order_release);
    return count;
}

std::size_t SampleRing::available() const noexcept {
    const std::uint64_t readPos = m_readPos.load(std::memory_order_relaxed);
    const std::uint64_t writePos = m_writePos.load(std::memory_order_acquire);
    return static_cast<std::size_t>(writePos - readPos);
}

void SampleRing::reset() noexcept {
    m_readPos.store(m_writePos.load(std::memory_order_relaxed), std::memory_order_release);
}

}  // namespace dvx
