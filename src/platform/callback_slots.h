#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <thread>

namespace dvx {

// A fixed set of receivers that a stream's callback calls in turn (the sinks and observers of a
// capture), changed by the main thread while the stream runs. The callback never waits and
// never allocates; remove() waits until the callback is not calling the receivers, so what was
// removed may be destroyed as soon as it returns.
//
// Threads: add() and remove() on the main thread; forEach() on the one callback thread.
// remove() spins only while a callback is inside, a few microseconds; where the callback runs on
// the main thread itself (virtual devices) it is never inside then.
template <typename T, std::size_t N>
class CallbackSlots {
  public:
    // False when every slot is taken. Adding what is there already changes nothing.
    bool add(T* item) noexcept {
        for (auto& slot : m_slots) {
            if (slot.load() == item) {
                return true;
            }
        }
        for (auto& slot : m_slots) {
            T* expected = nullptr;
            if (slot.compare_exchange_strong(expected, item)) {
                return true;
            }
        }
        return false;
    }

    void remove(T* item) noexcept {
        for (auto& slot : m_slots) {
            T* expected = item;
            slot.compare_exchange_strong(expected, nullptr);
        }
        // Sequentially consistent with forEach(): a callback that began before the slot was
        // emptied is waited for; one that begins after it finds the slot empty.
        while (m_calling.load()) {
            std::this_thread::yield();
        }
    }

    template <typename Call>
    void forEach(Call&& call) noexcept {
        m_calling.store(true);
        for (auto& slot : m_slots) {
            if (T* item = slot.load()) {
                call(*item);
            }
        }
        m_calling.store(false);
    }

  private:
    std::array<std::atomic<T*>, N> m_slots{};
    std::atomic<bool> m_calling{false};
};

}  // namespace dvx
