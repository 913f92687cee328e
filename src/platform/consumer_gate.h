#pragma once

#include <atomic>
#include <thread>

namespace dvx {

// Lets the main thread take something away from the audio callback (reload a file source,
// reset its queue) without the callback ever waiting. The callback brackets its use with
// enter()/leave() and skips the thing while the gate is closed; close() returns once the
// callback is outside, and from then on the callback stays out until open().
//
// Threads: enter()/leave() on the one consumer thread (wait-free); close()/open() on the main
// thread. close() spins only while a callback is inside, which is a few microseconds. Where
// the consumer runs on the main thread itself (virtual devices), it is never inside then.
class ConsumerGate {
  public:
    bool enter() noexcept {
        m_inside.store(true);  // sequentially consistent: pairs with close()
        if (m_closed.load()) {
            m_inside.store(false);
            return false;
        }
        return true;
    }
    void leave() noexcept { m_inside.store(false); }

    void close() noexcept {
        m_closed.store(true);
        while (m_inside.load()) {
            std::this_thread::yield();
        }
    }
    void open() noexcept { m_closed.store(false); }

  private:
    std::atomic<bool> m_inside{false};
    std::atomic<bool> m_closed{false};
};

// Closes a gate for one scope.
class GateClosed {
  public:
    explicit GateClosed(ConsumerGate& gate) : m_gate(gate) { m_gate.close(); }
    ~GateClosed() { m_gate.open(); }
    GateClosed(const GateClosed&) = delete;
    GateClosed& operator=(const GateClosed&) = delete;

  private:
    ConsumerGate& m_gate;
};

}  // namespace dvx
