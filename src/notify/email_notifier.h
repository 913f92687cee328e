#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/clock.h"
#include "notify/contact_book.h"
#include "notify/mail_worker.h"

namespace dvx {

class AlarmLog;
class ErrorReporter;
class Paths;
struct EmailAccount;

// Mails an alarm event to every address-book entry due at that moment: one message to all of
// them, one "Email--> " alarm-log line per recipient before it goes out. The message is handed
// to a worker thread and SendEmail returns at once; the session stays open for 5 s after a send
// (`tmrMapi`), so a second event within that time goes out over the same connection. A server
// that cannot be reached or refuses the login is reported in the error window when the worker
// is done with it (`tmrMailResults` collects the outcome). Main thread only.
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

    // Blocks until the worker has run every message handed to it (tests).
    void waitForWorker() { m_worker.waitUntilIdle(); }

    static constexpr int kSessionMs = 5000;
    static constexpr int kResultPollMs = 200;

  private:
    std::vector<std::string> dueRecipients(const LocalDateTime& now);
    void endSession();
    void reportResults();
    std::string nextMessageId(const LocalDateTime& now, const std::string& sender);

    Clock& m_clock;
    const Paths& m_paths;
    ContactBook m_addressBook;
    const EmailAccount& m_account;
    AlarmLog& m_log;
    ErrorReporter& m_errors;
    MailWorker m_worker;
    std::uint64_t m_messageCount = 0;

    std::unique_ptr<Timer> m_tmrMapi;
    std::unique_ptr<Timer> m_tmrMailResults;
};

}  // namespace dvx
