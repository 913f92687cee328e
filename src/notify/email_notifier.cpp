#include "notify/email_notifier.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>

#include "common/io_error.h"
#include "common/record_codec.h"
#include "notify/text_encoding.h"
#include "sensor/alarm_log.h"
#include "settings/email_account.h"
#include "settings/smtp_settings.h"
#include "viewers/error_reporter.h"

namespace dvx {
namespace {

constexpr std::string_view kRecipientLogPrefix = "Email--> ";

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
        m_errors.showError("No alarm e-mail was sent: the sender address \"" +
                           printableText(smtp.Sender) +
                           "\" is not an e-mail address. Correct it under Setup, My "
                           "Preferences.");
        return;
    }

    std::vector<std::string> recipients;
    try {
        recipients = dueRecipients(now);
    } catch (const IoError& error) {
        m_errors.showError(std::string(error.what()) + " No alarm e-mail was sent.");
        return;
    }
    if (recipients.empty()) {
        // Nobody is due: a session still open from an earlier message ends now.
        if (m_tmrMapi->isEnabled()) {
            endSession();
        }
        return;
    }
    m_worker.postSend({smtp.ServerUrl, m_account.UserName, m_account.Password},
                      composeMail(smtp.Sender, recipients, MailSubject, MailText, now,
                                  nextMessageId(now, smtp.Sender)));
    // Already running, the timer keeps its time: the session ends 5 s after the first message.
    m_tmrMapi->setEnabled(true);
    m_tmrMailResults->setEnabled(true);
}

std::vector<std::string> EmailNotifier::dueRecipients(const LocalDateTime& now) {
    std::vector<std::string> recipients;
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
        m_log.WriteAlarmLog(std::string(kRecipientLogPrefix) + entry.Contact);
        recipients.push_back(address);
    }
    return recipients;
}

void EmailNotifier::endSession() {
    m_worker.postCloseSession();
    m_tmrMapi->setEnabled(false);
    m_tmrMailResults->setEnabled(true);
}

void EmailNotifier::reportResults() {
    // Asked first: a job that is done has left its failure behind already.
    const bool stillBusy = m_worker.busy();
    for (const std::string& failure : m_worker.takeFailures()) {
        m_errors.showError(failure);
    }
    if (!stillBusy) {
        m_tmrMailResults->setEnabled(false);
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
