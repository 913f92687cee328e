#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "notify/mail_transport.h"

namespace dvx {

// Runs the mail transport on a thread of its own, so that a slow or unreachable server never
// holds up the monitoring: jobs go in from the main thread and run one at a time, in order;
// their outcomes wait for the main thread to collect them.
//
// Threads: every public member is called from the main thread only; the transport is called
// from the worker thread only.
class MailWorker {
  public:
    // How a job ended. A send that failed carries the transport's error; closing a session
    // (ticket 0) reports only a failure.
    struct Outcome {
        std::uint64_t ticket = 0;
        std::optional<MailError> failure;
    };

    explicit MailWorker(MailTransport& transport);
    // Drops the jobs not yet begun, has the transport give up the one under way and ends the
    // session.
    ~MailWorker();
    MailWorker(const MailWorker&) = delete;
    MailWorker& operator=(const MailWorker&) = delete;

    // Returns the ticket its outcome will carry (never 0).
    std::uint64_t postSend(MailServer server, MailMessage message);
    void postCloseSession();

    // The outcomes since the last call, in the order the jobs ran.
    std::vector<Outcome> takeOutcomes();
    // Whether a job is queued or under way.
    bool busy() const;
    // Blocks until every job posted so far has run (tests).
    void waitUntilIdle();

  private:
    struct Job {
        std::uint64_t ticket = 0;  // 0: close the session
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
    std::uint64_t m_lastTicket = 0;
    std::vector<Outcome> m_outcomes;
    std::thread m_thread;
};

}  // namespace dvx
