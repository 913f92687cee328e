#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/audio_backend.h"

namespace dvx {

// Background work on a thread of its own, for backends whose callbacks run on their own
// threads: the work function runs every few milliseconds while it has more to do, and after
// every runExclusive() otherwise, under a mutex that runExclusive() also takes. An idle work
// (a player with no file, a file decoded to its end) costs no wake-ups. The audio callbacks
// never touch that mutex.
//
// Threads: construction, runExclusive() and destruction on the main thread.
class ThreadedBackgroundWork : public BackgroundWork {
  public:
    static constexpr int kPeriodMs = 5;

    explicit ThreadedBackgroundWork(std::function<bool()> work);
    ~ThreadedBackgroundWork() override;

    void runExclusive(const std::function<void()>& action) override;

  private:
    void run();

    std::function<bool()> m_work;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_quit = false;
    bool m_changed = false;  // runExclusive() ran since the work last did
    std::thread m_thread;    // last: starts once the rest is ready
};

}  // namespace dvx
