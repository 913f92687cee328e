#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "notify/mail_transport.h"

namespace dvx {

// Runs the mail transport on a thread of its own, so that a slow or unreachable server never
// holds up the monitoring: jobs go in from the main thread and run one at a time, in order;
// their failures wait for the main thread to collect them.
//
// Threads: every public member is called from the main thread only; the transport is called
// from the worker thread only.
class MailWorker {
  public:
    explicit MailWorker(MailTransport& transport);
    // Drops the jobs not yet begun, has the transport give up the one under way and ends the
    // session.
    ~MailWorker();
    MailWorker(const MailWorker&) = delete;
    MailWorker& operator=(const MailWorker&) = delete;

    void postSend(MailServer server, MailMessage message);
    void postCloseSession();

    // The failure messages since the last call.
    std::vector<std::string> takeFailures();
    // Whether a job is queued or under way.
    bool busy() const;
    // Blocks until every job posted so far has run (tests).
    void waitUntilIdle();

  private:
    struct Job {
        bool closeSession = false;
        MailServer server;
        MailMessage message;
    };

    void run();

    MailTransport& m_transport;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Job> m_jobs;
    bool m_working = false;
    bool m_stopping = false;
    std::vector<std::string> m_failures;
    std::thread m_thread;
};

}  // namespace dvx
