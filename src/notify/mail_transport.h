#pragma once

#include <stdexcept>
#include <string>
#include <utility>

#include "notify/mail_message.h"

namespace dvx {

// Where and as whom mail is handed over: the server URL of Smtp.dat and the account of
// User.dat. An empty user name means no login.
struct MailServer {
    std::string url;
    std::string userName;
    std::string password;
};

// A message that did not go out. what() is the reason on one line (libcurl's error text or the
// server's reply); server() is the server as shown (never with a password), empty when the
// message got no further than this program.
class MailError : public std::runtime_error {
  public:
    explicit MailError(const std::string& reason, std::string server = {})
        : std::runtime_error(reason), m_server(std::move(server)) {}
    const std::string& server() const { return m_server; }

    // "The <what> could not be sent through <server>: <reason>", for the error window.
    std::string message(const std::string& what) const {
        return "The " + what + " could not be sent" +
               (m_server.empty() ? "" : " through " + m_server) + ": " + this->what();
    }

  private:
    std::string m_server;
};

// The mail session. Worker thread only (MailWorker calls it, one call at a time), except
// abandon().
class MailTransport {
  public:
    virtual ~MailTransport() = default;

    // Sends the message over the open session, opening one (connect, log in) when there is
    // none. Throws MailError when the server is unreachable, refuses the login or the message;
    // the session is closed then.
    virtual void send(const MailServer& server, const MailMessage& message) = 0;

    // Ends the session; nothing when none is open.
    virtual void closeSession() = 0;

    // Any thread: the program is ending, so a send under way gives up soon instead of waiting
    // for a server that does not answer.
    virtual void abandon() {}
};

}  // namespace dvx
