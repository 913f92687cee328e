#include "platform/threaded_background_work.h"

#include <chrono>

namespace dvx {

ThreadedBackgroundWork::ThreadedBackgroundWork(std::function<void()> work)
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
    std::lock_guard lock(m_mutex);
    action();
}

void ThreadedBackgroundWork::run() {
    std::unique_lock lock(m_mutex);
    while (!m_quit) {
        m_work();
        m_wake.wait_for(lock, std::chrono::milliseconds(kPeriodMs), [this] { return m_quit; });
    }
}

}  // namespace dvx
