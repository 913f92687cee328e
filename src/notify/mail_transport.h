#pragma once

#include <stdexcept>
#include <string>

#include "notify/mail_message.h"

namespace dvx {

// Where and as whom mail is handed over: the server URL of Smtp.dat and the account of
// User.dat. An empty user name means no login.
struct MailServer {
    std::string url;
    std::string userName;
    std::string password;
};

// A message the server did not take; what() is the message for the error window.
class MailError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
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
