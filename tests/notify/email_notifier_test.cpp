#include "notify/email_notifier.h"

#include <gtest/gtest.h>

#include <mutex>

#include "notify/contact_book.h"
#include "notify_rig.h"
#include "settings/email_account.h"

namespace dvx {
namespace {

using test::contact;

// Records the session as the worker drives it; a login can be made to fail.
class FakeTransport : public MailTransport {
  public:
    void send(const MailServer& server, const MailMessage& message) override {
        std::lock_guard lock(m_mutex);
        if (refuseLogin) {
            throw MailError("Login denied", server.url);
        }
        events.push_back((m_open ? "send " : "open+send ") + server.url + " " + server.userName);
        m_open = true;
        messages.push_back(message);
    }
    void closeSession() override {
        std::lock_guard lock(m_mutex);
        if (m_open) {
            events.push_back("close");
        }
        m_open = false;
    }

    bool refuseLogin = false;
    std::vector<std::string> events;
    std::vector<MailMessage> messages;

  private:
    std::mutex m_mutex;
    bool m_open = false;
};

struct MailRig : test::NotifyRig {
    RecordFile addressBook{paths.dataFile("AddressBook.dat"), kAddressBookFormat.recordLength};
    ContactBook book{addressBook, kAddressBookFormat};
    EmailAccount account{"alarm@station.example", "secret"};
    FakeTransport transport;
    EmailNotifier notifier{clock, paths, addressBook, account, log, errors, transport};

    // Lets the worker finish and the main thread collect what it reported.
    void settle(double seconds = 0.5) {
        notifier.waitForWorker();
        clock.advanceSeconds(seconds);
        notifier.waitForWorker();
        clock.advanceSeconds(0.5);
    }
};

TEST(EmailNotifier, MailsEveryoneDueInOneMessageAndLogsEachRecipient) {
    MailRig rig;
    ContactEntry monday = contact("Sam", "sam@example.org", kScheduleSometimes);
    monday.DayOn[2] = '1';  // Monday 08:00:00 to 17:00:00; the clock reads Monday 10:00
    monday.StartTime[2] = 8 * 3600;
    monday.StopTime[2] = 17 * 3600;
    ContactEntry tuesday = monday;
    tuesday.Name = "Tia";
    tuesday.Contact = "tia@example.org";
    std::swap(tuesday.DayOn[2], tuesday.DayOn[3]);
    rig.book.write(1, contact("Ann", "ann@example.org", kScheduleAlways));
    rig.book.write(2, contact("Ned", "ned@example.org", kScheduleNever));
    rig.book.write(3, contact("Del", "del@example.org", kScheduleAlways));
    rig.book.markDeleted(3);
    rig.book.write(4, monday);
    rig.book.write(5, tuesday);
    rig.book.write(6, contact("Bad", "bad.example.org", kScheduleAlways));

    rig.notifier.SendEmail("WDVX Alarm", "12-07-2026 10:00:00 Silence");
    rig.settle();

    ASSERT_EQ(rig.transport.messages.size(), 1u);
    const MailMessage& message = rig.transport.messages[0];
    EXPECT_EQ(message.recipients, (std::vector<std::string>{"ann@example.org", "sam@example.org"}));
    EXPECT_EQ(message.sender, "alarm@station.example");  // the user name, without Smtp.dat
    EXPECT_NE(message.text.find("\r\nSubject: WDVX Alarm\r\n"), std::string::npos);
    EXPECT_EQ(rig.todaysLog(), "10:00:00 Email--> ann@example.org" + std::string(24, ' ') +
                                   "\r\n10:00:00 Email--> sam@example.org" + std::string(24, ' ') +
                                   "\r\n");
    ASSERT_EQ(rig.errors.shown.size(), 1u);
    EXPECT_NE(rig.errors.shown[0].second.find("Address-book entry 6 (Bad)"), std::string::npos);
    EXPECT_EQ(rig.transport.events,
              (std::vector<std::string>{"open+send smtp://localhost:25 alarm@station.example"}));

    rig.settle(5);  // tmrMapi ends the session
    EXPECT_EQ(rig.transport.events.back(), "close");
}

TEST(EmailNotifier, NobodyDueSendsNothingAndLogsNothing) {
    MailRig rig;
    rig.book.write(1, contact("Ned", "ned@example.org", kScheduleNever));
    rig.notifier.SendEmail("A Alarm", "x");
    rig.settle();
    EXPECT_TRUE(rig.transport.events.empty());
    EXPECT_EQ(test::fileText(rig.log.dailyFile(2026, 12, 7)), "");
}

TEST(EmailNotifier, ATestGoesToTheOneEntryWhateverItsScheduleAndStaysOutOfTheLog) {
    MailRig rig;
    std::vector<ContactTestResult> results;
    auto keep = [&results](const ContactTestResult& result) { results.push_back(result); };
    rig.notifier.sendTest(contact("Ned", "ned@example.org", kScheduleNever), "  WDVX  ", keep);
    EXPECT_TRUE(results.empty()) << "the outcome came before the server answered";
    rig.settle();
    rig.transport.refuseLogin = true;
    rig.notifier.sendTest(contact("Ned", "ned@example.org", kScheduleNever), "WDVX", keep);
    rig.settle();
    rig.notifier.sendTest(contact("Bad", "bad.example.org", kScheduleAlways), "WDVX", keep);

    ASSERT_EQ(rig.transport.messages.size(), 1u);
    EXPECT_EQ(rig.transport.messages[0].recipients, std::vector<std::string>{"ned@example.org"});
    EXPECT_NE(rig.transport.messages[0].text.find("\r\nSubject: WDVX Test\r\n"), std::string::npos);
    EXPECT_NE(rig.transport.messages[0].text.find("\r\n\r\n12-07-2026 10:00:00 Test\r\n"),
              std::string::npos);
    ASSERT_EQ(results.size(), 3u);
    EXPECT_TRUE(results[0].sent);
    EXPECT_EQ(results[0].text, "The mail server took the test message to ned@example.org.");
    EXPECT_FALSE(results[1].sent);
    EXPECT_EQ(results[1].text,
              "The test message to ned@example.org could not be sent through "
              "smtp://localhost:25: Login denied");
    EXPECT_FALSE(results[2].sent);
    EXPECT_EQ(rig.todaysLog(), "");
    EXPECT_TRUE(rig.errors.shown.empty());  // the window shows a test's failure
}

}  // namespace
}  // namespace dvx
