#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/audio_backend.h"

namespace dvx {

// Background work on a thread of its own, for backends whose callbacks run on their own
// threads: the work function runs every few milliseconds, under a mutex that runExclusive()
// also takes. The audio callbacks never touch that mutex.
//
// Threads: construction, runExclusive() and destruction on the main thread.
class ThreadedBackgroundWork : public BackgroundWork {
  public:
    static constexpr int kPeriodMs = 5;

    explicit ThreadedBackgroundWork(std::function<void()> work);
    ~ThreadedBackgroundWork() override;

    void runExclusive(const std::function<void()>& action) override;

  private:
    void run();

    std::function<void()> m_work;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_quit = false;
    std::thread m_thread;  // last: starts once the rest is ready
};

}  // namespace dvx
