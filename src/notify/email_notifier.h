#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/clock.h"
#include "notify/contact_book.h"
#include "notify/contact_test.h"
#include "notify/delivery_counts.h"
#include "notify/mail_worker.h"

namespace dvx {

class AlarmLog;
class ErrorReporter;
class Paths;
struct EmailAccount;
struct SmtpSettings;

// Mails an alarm event to every address-book entry due at that moment: one message to all of
// them. The message is handed to a worker thread and SendEmail returns at once; the session
// stays open for 5 s after a send (`tmrMapi`), so a second event within that time goes out over
// the same connection. When the worker is done with a message (`tmrMailResults` collects the
// outcome), each recipient gets one alarm-log line: "Email--> " and the address as stored once
// the server took the message, "Email failed--> ", the address, two blanks and the reason when
// it did not; the failure also goes to the error window. Main thread only.
class EmailNotifier {
  public:
    EmailNotifier(Clock& clock, const Paths& paths, RecordFile& addressBook,
                  const EmailAccount& account, AlarmLog& log, ErrorReporter& errors,
                  MailTransport& transport);
    ~EmailNotifier();
    EmailNotifier(const EmailNotifier&) = delete;
    EmailNotifier& operator=(const EmailNotifier&) = delete;

    // The caller has built the subject (facility name and " Alarm") and the text (date, time
    // and event). Recipients are chosen now, the server and sender are read from Smtp.dat now.
    void SendEmail(const std::string& MailSubject, const std::string& MailText);

    // "Send test" of the address book: one message to the entry, whatever its schedule, its
    // subject the facility name and " Test". Nothing goes to the alarm log.
    void sendTest(const ContactEntry& entry, const std::string& Facility, ContactTestDone done);

    // Blocks until the worker has run every message handed to it (tests).
    void waitForWorker() { m_worker.waitUntilIdle(); }

    const DeliveryCounts& delivered() const { return m_delivered; }

    static constexpr int kSessionMs = 5000;
    static constexpr int kResultPollMs = 200;

  private:
    // A message with the worker: the alarm mail's addresses as stored, or a test's `done`.
    struct Pending {
        std::vector<std::string> storedAddresses;
        std::string testAddress;
        ContactTestDone done;
    };

    std::optional<SmtpSettings> mailServer(std::string& problem);
    std::vector<std::string> dueAddresses(const LocalDateTime& now);
    void post(const SmtpSettings& smtp, const std::vector<std::string>& recipients,
              const std::string& subject, const std::string& text, const LocalDateTime& now,
              Pending pending);
    void endSession();
    void reportResults();
    void settle(const MailWorker::Outcome& outcome);
    std::string nextMessageId(const LocalDateTime& now, const std::string& sender);

    Clock& m_clock;
    const Paths& m_paths;
    ContactBook m_addressBook;
    const EmailAccount& m_account;
    AlarmLog& m_log;
    ErrorReporter& m_errors;
    MailWorker m_worker;
    std::uint64_t m_messageCount = 0;
    DeliveryCounts m_delivered;
    std::map<std::uint64_t, Pending> m_pending;  // by the worker's ticket

    std::unique_ptr<Timer> m_tmrMapi;
    std::unique_ptr<Timer> m_tmrMailResults;
};

}  // namespace dvx
