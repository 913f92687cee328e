#pragma once

#include <atomic>
#include <filesystem>
#include <string>

#include "notify/mail_transport.h"

namespace dvx {

struct CurlMailOptions {
    // Certificates to trust instead of libcurl's default bundle (a station's own authority;
    // tests). Empty: the default.
    std::filesystem::path caFile;
    // A login to a server on this machine may go without TLS: the password never leaves it.
    bool loopbackLoginWithoutTls = true;
    // The limit of one message's whole exchange, connecting included.
    long transferTimeoutSeconds = 60;
};

// SMTP through libcurl. smtps:// is TLS from the start; smtp:// switches to TLS with STARTTLS,
// which is required whenever a password goes out: a server elsewhere that does not offer it is
// an error, and the password is not sent. Without a login, or to a server on the loopback
// interface, STARTTLS is used when offered. The server's certificate is always checked. No
// other kind of URL is used, nor a user name or password written into it; what is shown of the
// URL never holds them. The session is one libcurl handle whose connection stays open between
// messages until closeSession(). Worker thread only (see MailWorker); construct it on the main
// thread before any worker runs.
class CurlMailTransport : public MailTransport {
  public:
    explicit CurlMailTransport(CurlMailOptions options = {});
    ~CurlMailTransport() override;
    CurlMailTransport(const CurlMailTransport&) = delete;
    CurlMailTransport& operator=(const CurlMailTransport&) = delete;

    void send(const MailServer& server, const MailMessage& message) override;
    void closeSession() override;
    void abandon() override { m_abandoned = true; }

    // The limit of connecting (the whole exchange has its own, in the options).
    static constexpr long kConnectTimeoutSeconds = 20;

  private:
    CurlMailOptions m_options;
    void* m_curl = nullptr;  // CURL*, kept between messages so its connection is reused
    std::atomic<bool> m_abandoned = false;
    std::string m_serverRefusal;  // of the message being sent
};

}  // namespace dvx
