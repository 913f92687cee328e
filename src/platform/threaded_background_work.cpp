#include "platform/threaded_background_work.h"

#include <chrono>

namespace dvx {

ThreadedBackgroundWork::ThreadedBackgroundWork(std::function<bool()> work)
    : m_work(std::move(work)), m_thread([this] { run(); }) {}

ThreadedBackgroundWork::~ThreadedBackgroundWork() {
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void ThreadedBackgroundWork::runExclusive(const std::function<void()>& action) {
    {
        std::lock_guard lock(m_mutex);
        m_changed = true;  // set first: the work looks again even when the action throws
        action();
    }
    m_wake.notify_one();
}

void ThreadedBackgroundWork::run() {
    std::unique_lock lock(m_mutex);
    while (!m_quit) {
        m_changed = false;
        const bool more = m_work();
        const auto woken = [this] { return m_quit || m_changed; };
        if (more) {
            m_wake.wait_for(lock, std::chrono::milliseconds(kPeriodMs), woken);
        } else {
            m_wake.wait(lock, woken);
        }
    }
}

}  // namespace dvx
