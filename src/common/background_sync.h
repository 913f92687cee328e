#pragma once

#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/clock.h"
#include "common/disk_sync.h"

namespace dvx {

class ErrorReporter;

// Runs the fdatasync of the main thread's writes on a thread of its own, so that a busy disk
// never holds up the meters and the silence clock. Requests for one file that arrive while an
// earlier one waits share its fdatasync, which covers every write made before it runs. A sync
// that fails is shown in the error window, naming the file: the data is in the file but may be
// lost if the computer stops before it reaches the disk. A clock timer brings the failures to
// the main thread.
//
// Threads: construction, syncLater(), waitUntilIdle(), reportFailures() and destruction on the
// main thread; the sync calls on the worker.
class BackgroundSync : public DiskSync {
  public:
    // Makes one file's data durable: 0, or -1 with errno set. Empty: fdatasync.
    using SyncCall = std::function<int(int fd)>;
    static constexpr int kReportIntervalMs = 200;

    // `errors` must outlive this object.
    BackgroundSync(Clock& clock, ErrorReporter& errors, SyncCall syncCall = {});
    // stop(), then shows the failures not yet shown.
    ~BackgroundSync() override;
    BackgroundSync(const BackgroundSync&) = delete;
    BackgroundSync& operator=(const BackgroundSync&) = delete;

    void syncLater(int fd, const std::filesystem::path& path) override;

    // Blocks until every sync asked for so far has run (tests, benchmarks).
    void waitUntilIdle();
    // Shows the failures since the last call (the timer calls it).
    void reportFailures();
    // The end of the run: runs every sync asked for and ends the thread; later requests sync
    // at once. The failures not yet shown stay for takeFailures().
    void stop();
    std::vector<std::string> takeFailures();

  private:
    void run();

    ErrorReporter& m_errors;
    SyncCall m_sync;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::map<std::string, int> m_pending;  // file -> a descriptor of our own, not yet synced
    bool m_working = false;
    bool m_stopping = false;
    std::vector<std::string> m_failures;
    std::unique_ptr<Timer> m_reportTimer;
    std::thread m_thread;  // last: starts once the rest is ready
};

}  // namespace dvx
