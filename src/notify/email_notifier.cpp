#include "notify/email_notifier.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>

#include "common/io_error.h"
#include "common/record_codec.h"
#include "notify/text_encoding.h"
#include "sensor/alarm_log.h"
#include "sensor/alarm_outputs.h"
#include "settings/email_account.h"
#include "settings/smtp_settings.h"
#include "viewers/error_reporter.h"

namespace dvx {
namespace {

constexpr std::string_view kSentLogPrefix = "Email--> ";
constexpr std::string_view kFailedLogPrefix = "Email failed--> ";

std::string testMailText(const LocalDateTime& now, const std::string& Facility) {
    return notificationText(now.year, now.month, now.day, now.secondsOfDay, " Test") +
           "\r\n\r\nThis is a test message of the dead-air alarm of " + trimBlanks(Facility) +
           ", sent by hand from its address book. There is no alarm.";
}

}  // namespace

EmailNotifier::EmailNotifier(Clock& clock, const Paths& paths, RecordFile& addressBook,
                             const EmailAccount& account, AlarmLog& log, ErrorReporter& errors,
                             MailTransport& transport)
    : m_clock(clock),
      m_paths(paths),
      m_addressBook(addressBook, kAddressBookFormat),
      m_account(account),
      m_log(log),
      m_errors(errors),
      m_worker(transport) {
    m_tmrMapi = clock.createTimer("tmrMapi", kSessionMs, [this] { endSession(); });
    m_tmrMailResults =
        clock.createTimer("tmrMailResults", kResultPollMs, [this] { reportResults(); });
}

EmailNotifier::~EmailNotifier() = default;

void EmailNotifier::SendEmail(const std::string& MailSubject, const std::string& MailText) {
    const LocalDateTime now = m_clock.now();
    std::string problem;
    const std::optional<SmtpSettings> smtp = mailServer(problem);
    if (!smtp) {
        m_errors.showError("No alarm e-mail was sent: " + problem);
        return;
    }
    std::vector<std::string> stored;
    try {
        stored = dueAddresses(now);
    } catch (const IoError& error) {
        m_errors.showError(std::string(error.what()) + " No alarm e-mail was sent.");
        return;
    }
    if (stored.empty()) {
        // Nobody is due: a session still open from an earlier message ends now.
        if (m_tmrMapi->isEnabled()) {
            endSession();
        }
        return;
    }
    std::vector<std::string> recipients;
    for (const std::string& address : stored) {
        recipients.push_back(trimBlanks(address));
    }
    post(*smtp, recipients, MailSubject, MailText, now, Pending{std::move(stored), {}, {}});
}

void EmailNotifier::sendTest(const ContactEntry& entry, const std::string& Facility,
                             ContactTestDone done) {
    const std::string address = trimBlanks(entry.Contact);
    if (!isUsableAddress(address)) {
        done({false, "No test message was sent: \"" + printableText(address) +
                         "\" is not an e-mail address."});
        return;
    }
    std::string problem;
    const std::optional<SmtpSettings> smtp = mailServer(problem);
    if (!smtp) {
        done({false, "No test message was sent: " + problem});
        return;
    }
    const LocalDateTime now = m_clock.now();
    post(*smtp, {address}, trimBlanks(Facility) + " Test", testMailText(now, Facility), now,
         Pending{{}, address, std::move(done)});
}

// Smtp.dat as it is now; nullopt, with the reason, when its sender cannot send.
std::optional<SmtpSettings> EmailNotifier::mailServer(std::string& problem) {
    SmtpSettings smtp = defaultSmtpSettings(m_account.UserName);
    try {
        SmtpLoad loaded = loadSmtpSettings(m_paths, m_account.UserName);
        if (loaded.warning) {
            m_errors.showError(*loaded.warning);
        }
        smtp = std::move(loaded.settings);
    } catch (const IoError& error) {
        m_errors.showError(std::string(error.what()) + " The default mail server is used.");
    }
    if (!isUsableAddress(smtp.Sender)) {
        problem = "the sender address \"" + printableText(smtp.Sender) +
                  "\" is not an e-mail address. Correct it under Setup, My Preferences.";
        return std::nullopt;
    }
    return smtp;
}

// The address fields, as stored, of the entries due now that can be mailed.
std::vector<std::string> EmailNotifier::dueAddresses(const LocalDateTime& now) {
    std::vector<std::string> addresses;
    const std::int32_t last = m_addressBook.lastRecord();
    for (std::int32_t record = 1; record <= last; ++record) {
        const ContactEntry entry = m_addressBook.read(record);
        if (!isDue(entry, now.weekday, now.secondsOfDay)) {
            continue;
        }
        const std::string address = trimBlanks(entry.Contact);
        if (!isUsableAddress(address)) {
            m_errors.showError("Address-book entry " + std::to_string(record) + " (" +
                               printableText(trimBlanks(entry.Name)) +
                               ") gets no alarm e-mail: \"" + printableText(address) +
                               "\" is not an e-mail address. Correct it under Setup, My Address "
                               "Book.");
            continue;
        }
        addresses.push_back(entry.Contact);
    }
    return addresses;
}

void EmailNotifier::post(const SmtpSettings& smtp, const std::vector<std::string>& recipients,
                         const std::string& subject, const std::string& text,
                         const LocalDateTime& now, Pending pending) {
    const std::uint64_t ticket = m_worker.postSend(
        {smtp.ServerUrl, m_account.UserName, m_account.Password},
        composeMail(smtp.Sender, recipients, subject, text, now, nextMessageId(now, smtp.Sender)));
    m_pending.emplace(ticket, std::move(pending));
    // Already running, the timer keeps its time: the session ends 5 s after the first message.
    m_tmrMapi->setEnabled(true);
    m_tmrMailResults->setEnabled(true);
}

void EmailNotifier::endSession() {
    m_worker.postCloseSession();
    m_tmrMapi->setEnabled(false);
    m_tmrMailResults->setEnabled(true);
}

void EmailNotifier::reportResults() {
    // Asked first: a job that is done has left its outcome behind already.
    const bool stillBusy = m_worker.busy();
    for (const MailWorker::Outcome& outcome : m_worker.takeOutcomes()) {
        settle(outcome);
    }
    if (!stillBusy) {
        m_tmrMailResults->setEnabled(false);
    }
}

void EmailNotifier::settle(const MailWorker::Outcome& outcome) {
    const auto found = m_pending.find(outcome.ticket);
    if (found == m_pending.end()) {
        if (outcome.failure) {  // ending a session
            m_errors.showError(outcome.failure->what());
        }
        return;
    }
    const Pending pending = std::move(found->second);
    m_pending.erase(found);
    if (pending.done) {
        pending.done(outcome.failure
                         ? ContactTestResult{false, outcome.failure->message("test message to " +
                                                                             pending.testAddress)}
                         : ContactTestResult{true, "The mail server took the test message to " +
                                                       pending.testAddress + "."});
        return;
    }
    for (const std::string& address : pending.storedAddresses) {
        ++(outcome.failure ? m_delivered.failed : m_delivered.sent);
        m_log.WriteAlarmLog(outcome.failure ? std::string(kFailedLogPrefix) + trimBlanks(address) +
                                                  "  " + outcome.failure->what()
                                            : std::string(kSentLogPrefix) + address);
    }
    if (outcome.failure) {
        m_errors.showError(outcome.failure->message("alarm e-mail"));
    }
}

std::string EmailNotifier::nextMessageId(const LocalDateTime& now, const std::string& sender) {
    const int seconds = static_cast<int>(std::floor(now.secondsOfDay));
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d%02d%02d.%d.%llu", now.year, now.month,
                  now.day, seconds / 3600, (seconds % 3600) / 60, seconds % 60,
                  static_cast<int>(::getpid()), static_cast<unsigned long long>(++m_messageCount));
    return std::string(stamp) + ".dorvexia@" + sender.substr(sender.find('@') + 1);
}

}  // namespace dvx
