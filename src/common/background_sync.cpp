#include "common/background_sync.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

#include "viewers/error_reporter.h"

namespace dvx {

BackgroundSync::BackgroundSync(Clock& clock, ErrorReporter& errors, SyncCall syncCall)
    : m_errors(errors),
      m_sync(syncCall ? std::move(syncCall) : SyncCall([](int fd) { return ::fdatasync(fd); })),
      m_reportTimer(
          clock.createTimer("diskSyncFailures", kReportIntervalMs, [this] { reportFailures(); })),
      m_thread([this] { run(); }) {
    m_reportTimer->setEnabled(true);
}

BackgroundSync::~BackgroundSync() {
    stop();
    reportFailures();
}

void BackgroundSync::stop() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void BackgroundSync::syncLater(int fd, const std::filesystem::path& path) {
    std::string file = path.string();
    bool stopped = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_pending.contains(file)) {
            return;  // that sync has not begun, so it covers this write too
        }
        stopped = m_stopping;
    }
    if (stopped) {
        syncWritten(fd, path, nullptr);  // the thread has ended
        return;
    }
    // A descriptor of our own, so the caller may close its one at once. Only this thread adds
    // to m_pending, so the file cannot have been added meanwhile.
    const int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (own < 0) {
        syncWritten(fd, path, nullptr);  // out of descriptors: at once rather than never
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        m_pending.emplace(std::move(file), own);
    }
    m_wake.notify_one();
}

void BackgroundSync::waitUntilIdle() {
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return !m_working && m_pending.empty(); });
}

std::vector<std::string> BackgroundSync::takeFailures() {
    std::lock_guard lock(m_mutex);
    return std::exchange(m_failures, {});
}

void BackgroundSync::reportFailures() {
    for (const std::string& failure : takeFailures()) {
        m_errors.showError(failure);
    }
}

void BackgroundSync::run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_pending.empty(); });
        if (m_pending.empty()) {
            break;  // stopping, and every sync asked for has run
        }
        const std::map<std::string, int> batch = std::exchange(m_pending, {});
        m_working = true;
        lock.unlock();
        std::vector<std::string> failures;
        for (const auto& [file, fd] : batch) {
            if (m_sync(fd) != 0) {
                const std::string reason = std::system_category().message(errno);
                failures.push_back("Cannot flush " + file + " to the disk: " + reason +
                                   ". Its latest changes may be lost if the computer stops.");
            }
            ::close(fd);
        }
        lock.lock();
        m_failures.insert(m_failures.end(), failures.begin(), failures.end());
        m_working = false;
        m_idle.notify_all();
    }
}

}  // namespace dvx
