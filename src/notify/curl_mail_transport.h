#pragma once

#include <atomic>
#include <string>

#include "notify/mail_transport.h"

namespace dvx {

// SMTP through libcurl. smtp:// switches to TLS when the server offers STARTTLS, smtps:// is
// TLS from the start; no other kind of URL is used. The session is one libcurl handle whose
// connection stays open between messages until closeSession(). Worker thread only (see
// MailWorker); construct it on the main thread before any worker runs.
class CurlMailTransport : public MailTransport {
  public:
    CurlMailTransport();
    ~CurlMailTransport() override;
    CurlMailTransport(const CurlMailTransport&) = delete;
    CurlMailTransport& operator=(const CurlMailTransport&) = delete;

    void send(const MailServer& server, const MailMessage& message) override;
    void closeSession() override;
    void abandon() override { m_abandoned = true; }

    // Limits of one message: connecting, and the whole exchange.
    static constexpr long kConnectTimeoutSeconds = 20;
    static constexpr long kTransferTimeoutSeconds = 60;

  private:
    void* m_curl = nullptr;  // CURL*, kept between messages so its connection is reused
    std::atomic<bool> m_abandoned = false;
};

}  // namespace dvx
