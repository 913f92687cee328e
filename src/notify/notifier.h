#pragma once

#include <cstdint>
#include <string>

#include "notify/curl_mail_transport.h"
#include "notify/dialer.h"
#include "notify/email_notifier.h"
#include "notify/posix_serial_port.h"
#include "sensor/alarm_outputs.h"

namespace dvx {

class AlarmLog;
class ErrorReporter;
class Paths;
struct ConnectionSettings;
struct DataFiles;
struct EmailAccount;

// Notification as the main window uses it: alarm mail to the address book over SMTP and pages
// to the call list through the modem on the serial port. Neither call waits for the server or
// the modem. Main thread only.
class Notifier : public AlarmNotifier {
  public:
    Notifier(Clock& clock, const Paths& paths, DataFiles& files,
             const ConnectionSettings& connection, const EmailAccount& account, AlarmLog& log,
             ErrorReporter& errors, Dialer::StatusLine Label3);

    void SendEmail(const std::string& MailSubject, const std::string& MailText) override {
        m_email.SendEmail(MailSubject, MailText);
    }
    void SendPPage(std::int16_t PageCode) override { m_dialer.SendPPage(PageCode); }
    // The Stop button: ends a call in progress.
    void closePort() { m_dialer.closePort(); }

  private:
    // Declared before their users, so they outlive them.
    PosixSerialPort m_port;
    CurlMailTransport m_transport;
    Dialer m_dialer;
    EmailNotifier m_email;
};

}  // namespace dvx
