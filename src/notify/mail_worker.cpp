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

void MailWorker::postSend(MailServer server, MailMessage message) {
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back({false, std::move(server), std::move(message)});
    }
    m_wake.notify_all();
}

void MailWorker::postCloseSession() {
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back({true, {}, {}});
    }
    m_wake.notify_all();
}

std::vector<std::string> MailWorker::takeFailures() {
    std::lock_guard lock(m_mutex);
    return std::exchange(m_failures, {});
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
        std::string failure;
        try {
            if (job.closeSession) {
                m_transport.closeSession();
            } else {
                m_transport.send(job.server, job.message);
            }
        } catch (const std::exception& error) {
            failure = error.what();
        }
        lock.lock();
        if (!failure.empty()) {
            m_failures.push_back(std::move(failure));
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
