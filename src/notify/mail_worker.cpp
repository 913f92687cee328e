#include "notify/mail_worker.h"

#include <utility>

namespace dvx {

MailWorker::MailWorker(MailTransport& transport)
    : m_transport(transport), m_thread([this] { run(); }) {}

MailWorker::~MailWorker() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_jobs.clear();
    }
    m_transport.abandon();
    m_wake.notify_all();
    m_thread.join();
}

std::uint64_t MailWorker::postSend(MailServer server, MailMessage message) {
    std::uint64_t ticket = 0;
    {
        std::lock_guard lock(m_mutex);
        ticket = ++m_lastTicket;
        m_jobs.push_back({ticket, std::move(server), std::move(message)});
    }
    m_wake.notify_all();
    return ticket;
}

void MailWorker::postCloseSession() {
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back({0, {}, {}});
    }
    m_wake.notify_all();
}

std::vector<MailWorker::Outcome> MailWorker::takeOutcomes() {
    std::lock_guard lock(m_mutex);
    return std::exchange(m_outcomes, {});
}

bool MailWorker::busy() const {
    std::lock_guard lock(m_mutex);
    return m_working || !m_jobs.empty();
}

void MailWorker::waitUntilIdle() {
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return !m_working && m_jobs.empty(); });
}

void MailWorker::run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
        if (m_stopping) {
            break;
        }
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_working = true;
        lock.unlock();
        Outcome outcome{job.ticket, std::nullopt};
        try {
            if (job.ticket == 0) {
                m_transport.closeSession();
            } else {
                m_transport.send(job.server, job.message);
            }
        } catch (const MailError& error) {
            outcome.failure = error;
        } catch (const std::exception& error) {
            outcome.failure = MailError(error.what());
        }
        lock.lock();
        if (outcome.ticket != 0 || outcome.failure) {
            m_outcomes.push_back(std::move(outcome));
        }
        m_working = false;
        m_idle.notify_all();
    }
    lock.unlock();
    try {
        m_transport.closeSession();
    } catch (const std::exception&) {
        // The program is ending; nobody is left to tell.
    }
}

}  // namespace dvx
