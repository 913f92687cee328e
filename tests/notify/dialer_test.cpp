#include "notify/dialer.h"

#include <gtest/gtest.h>

#include "notify/contact_book.h"
#include "notify/serial_port.h"
#include "notify_rig.h"

namespace dvx {
namespace {

using test::contact;

// A modem that answers every command ended by CR with "OK" and keeps a transcript of what the
// dialer did.
class FakeModem : public SerialPort {
  public:
    void open(const std::filesystem::path& device, int baud) override {
        if (m_open) {
            throw SerialPortError(16, "busy");
        }
        steps.push_back("open " + device.string() + " " + std::to_string(baud));
        m_open = true;
    }
    bool isOpen() const override { return m_open; }
    void write(std::string_view bytes) override {
        steps.emplace_back(bytes);
        if (bytes.ends_with('\r') && !bytes.starts_with("ATDT")) {
            m_pending += "OK\r\n";
        }
    }
    std::string readAvailable() override { return std::exchange(m_pending, {}); }
    void close() override {
        steps.push_back("close");
        m_open = false;
    }

    std::vector<std::string> steps;

  private:
    bool m_open = false;
    std::string m_pending;
};

struct DialerRig : test::NotifyRig {
    RecordFile callList{paths.dataFile("CallList.dat"), kCallListFormat.recordLength};
    ContactBook book{callList, kCallListFormat};
    FakeModem modem;
    Dialer dialer{clock, paths, callList, connection,
                  modem, log,   errors,   [](const std::string&) {}};
};

TEST(Dialer, RefusesUnusableSettingsAndNumbersWithAMessage) {
    DialerRig rig;
    rig.book.write(1, contact("Ann", "555\r1234", kScheduleAlways));
    rig.book.write(2, contact("Bob", "5550000", kScheduleAlways));

    rig.connection.ComPort = 0;  // a fresh installation
    rig.dialer.SendPPage(11);
    ASSERT_EQ(rig.errors.shown.size(), 2u);
    EXPECT_NE(rig.errors.shown[0].second.find("Ann"), std::string::npos);
    EXPECT_NE(rig.errors.shown[0].second.find("cannot dial"), std::string::npos);
    EXPECT_EQ(rig.errors.shown[1].second.rfind("19 Serial port 0 does not exist", 0), 0u);

    rig.connection = {3, "", 0};
    rig.dialer.SendPPage(11);
    EXPECT_EQ(rig.errors.shown.back().second.rfind("22 ", 0), 0u);
    rig.clock.advanceSeconds(60);
    EXPECT_TRUE(rig.modem.steps.empty());  // nothing was ever opened or sent

    // The entry with the broken number is skipped; the next one is called.
    rig.connection = {3, "9600", 0};
    rig.dialer.SendPPage(11);
    rig.clock.advanceSeconds(1);
    EXPECT_EQ(rig.modem.steps.at(4), "ATDT 5550000@**11**\r");
    const std::string undialable =
        "Page failed--> Ann  the number holds characters a modem "
        "cannot dial";
    EXPECT_EQ(rig.logEntries(),
              (std::vector<std::string>{undialable,
                                        "Page failed--> Bob  Serial port 0 does not exist. Choose "
                                        "the modem's port (1 to 8) under Setup, My Connection.",
                                        undialable,
                                        "Page failed--> Bob  The modem's baud rate \"\" is not a "
                                        "speed. Choose one under Setup, My Connection.",
                                        undialable, "**11**5550000" + std::string(17, ' ')}));
}

TEST(Dialer, ATestPageCallsTheOneEntryWhateverItsScheduleAndStaysOutOfTheLog) {
    DialerRig rig;
    std::vector<ContactTestResult> results;
    auto keep = [&results](const ContactTestResult& result) { results.push_back(result); };
    rig.dialer.sendTestPage(contact("Ned", "5550000", kScheduleNever), keep);
    EXPECT_TRUE(results.empty()) << "the outcome came before the modem answered";
    rig.clock.advanceSeconds(31);
    rig.connection.ComPort = 0;
    rig.dialer.sendTestPage(contact("Ned", "5550000", kScheduleNever), keep);

    EXPECT_EQ(rig.modem.steps.at(4), "ATDT 5550000@**11**\r");
    ASSERT_EQ(results.size(), 2u);
    EXPECT_TRUE(results[0].sent);
    EXPECT_EQ(results[0].text,
              "The test page to Ned was dialled: 5550000, code 11. The line is held for 25 "
              "seconds.");
    EXPECT_FALSE(results[1].sent);
    EXPECT_EQ(results[1].text,
              "The test page to Ned failed: 19 Serial port 0 does not exist. "
              "Choose the modem's port (1 to 8) under Setup, My Connection.");
    EXPECT_EQ(rig.todaysLog(), "");
    EXPECT_TRUE(rig.errors.shown.empty());  // the window shows a test's failure
}

TEST(Dialer, StopDuringACallHangsUpAndTheSequenceGoesOnQuietly) {
    DialerRig rig;
    rig.book.write(1, contact("Ann", "5551234", kScheduleAlways));
    rig.book.write(2, contact("Bob", "5550000", kScheduleAlways));

    rig.dialer.SendPPage(98);
    rig.clock.advanceSeconds(10);
    rig.dialer.closePort();
    rig.clock.advanceSeconds(21);  // the hang-up finds the port closed, the pause begins

    EXPECT_TRUE(rig.errors.shown.empty());
    EXPECT_EQ(rig.modem.steps.back(), "ATDT 5550000@**98**\r");
    EXPECT_EQ(rig.dialer.CallIndex(), 2);
}

TEST(Dialer, AnEmptyOrNeverListDialsNothing) {
    DialerRig rig;
    rig.dialer.SendPPage(99);
    rig.book.write(1, contact("Ann", "5551234", kScheduleNever));
    rig.dialer.SendPPage(99);
    rig.clock.advanceSeconds(60);
    EXPECT_TRUE(rig.modem.steps.empty());
    EXPECT_TRUE(rig.errors.shown.empty());
}

}  // namespace
}  // namespace dvx
