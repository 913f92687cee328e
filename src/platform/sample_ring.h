#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace dvx {

// A single-producer single-consumer queue of 16-bit samples with a fixed capacity allocated up
// front (`MMRingBufferX1` and the queues behind players and recorders). Lock-free and
// wait-free on both sides.
//
// Threads: write() and freeSpace() on the one producer thread; read(), discard() and
// available() on the one consumer thread; reset() only while neither side runs. Anything may
// read droppedSamples() and totalWritten().
class SampleRing {
  public:
    explicit SampleRing(std::size_t capacitySamples);
    SampleRing(const SampleRing&) = delete;
    SampleRing& operator=(const SampleRing&) = delete;

    std::size_t capacity() const { return m_capacity; }

    // Producer. Stores all `count` samples, or none when they do not fit: whole buffers are
    // kept or dropped, so frames never tear. Returns whether they were stored.
    bool write(const std::int16_t* samples, std::size_t count) noexcept;
    std::size_t freeSpace() const noexcept;

    // Consumer. Takes up to `count` samples; returns how many it took.
    std::size_t read(std::int16_t* out, std::size_t count) noexcept;
    std::size_t discard(std::size_t count) noexcept;
    std::size_t available() const noexcept;

    // Neither side running: empties the queue.
    void reset() noexcept;

    // Samples stored by write() since the ring was made (consumer side: has the producer been
    // here since?).
    std::uint64_t totalWritten() const noexcept {
        return m_writePos.load(std::memory_order_relaxed);
    }

    // Samples refused by write() because the queue was full.
    std::uint64_t droppedSamples() const noexcept {
        return m_dropped.load(std::memory_order_relaxed);
    }

  private:
    // Both positions only grow; the slot of position p is p % capacity.
    alignas(64) std::atomic<std::uint64_t> m_writePos{0};
    alignas(64) std::atomic<std::uint64_t> m_readPos{0};
    alignas(64) std::atomic<std::uint64_t> m_dropped{0};
    std::size_t m_capacity;
    std::unique_ptr<std::int16_t[]> m_samples;
};

}  // namespace dvx
