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
// to the call list through the modem on the serial port, and the test message or page of one
// entry that the address-book and call-list windows send. No call waits for the server or the
// modem. Main thread only.
class Notifier : public AlarmNotifier {
  public:
    Notifier(Clock& clock, const Paths& paths, DataFiles& files,
             const ConnectionSettings& connection, const EmailAccount& account,
             const std::string& Facility, AlarmLog& log, ErrorReporter& errors,
             Dialer::StatusLine Label3);

    void SendEmail(const std::string& MailSubject, const std::string& MailText) override {
        m_email.SendEmail(MailSubject, MailText);
    }
    void SendPPage(std::int16_t PageCode) override { m_dialer.SendPPage(PageCode); }
    void sendTestEmail(const ContactEntry& entry, ContactTestDone done) {
        m_email.sendTest(entry, m_facility, std::move(done));
    }
    void sendTestPage(const ContactEntry& entry, ContactTestDone done) {
        m_dialer.sendTestPage(entry, std::move(done));
    }
    // The Stop button: ends a call in progress.
    void closePort() { m_dialer.closePort(); }
    const DeliveryCounts& mailsDelivered() const { return m_email.delivered(); }
    const DeliveryCounts& pagesDelivered() const { return m_dialer.delivered(); }

  private:
    const std::string& m_facility;
    // Declared before their users, so they outlive them.
    PosixSerialPort m_port;
    CurlMailTransport m_transport;
    Dialer m_dialer;
    EmailNotifier m_email;
};

}  // namespace dvx
