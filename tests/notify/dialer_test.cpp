#include "notify/dialer.h"

#include <gtest/gtest.h>

#include "notify/contact_book.h"
#include "notify/serial_port.h"
#include "notify_rig.h"

namespace dvx {
namespace {

using test::contact;

// A modem that answers every command ended by CR with "OK" (unless told not to) and keeps a
// transcript of what the dialer did, with the simulated second of each step.
class FakeModem : public SerialPort {
  public:
    explicit FakeModem(const SimulatedClock& clock) : m_clock(clock) {}

    void open(const std::filesystem::path& device, int baud) override {
        if (m_open) {
            throw SerialPortError(16, "busy");
        }
        note("open " + device.string() + " " + std::to_string(baud));
        m_open = true;
    }
    bool isOpen() const override { return m_open; }
    void write(std::string_view bytes) override {
        note(std::string(bytes));
        if (answers && bytes.ends_with('\r') && !bytes.starts_with("ATDT")) {
            m_pending += "ATZ\r\r\nOK\r\n";
        }
    }
    std::string readAvailable() override { return std::exchange(m_pending, {}); }
    void close() override {
        note("close");
        m_open = false;
    }

    bool answers = true;
    std::vector<std::pair<double, std::string>> steps;

  private:
    void note(std::string step) {
        steps.emplace_back(m_clock.elapsedNanoseconds() / 1e9, std::move(step));
    }
    const SimulatedClock& m_clock;
    bool m_open = false;
    std::string m_pending;
};

struct DialerRig : test::NotifyRig {
    RecordFile callList{paths.dataFile("CallList.dat"), kCallListFormat.recordLength};
    ContactBook book{callList, kCallListFormat};
    FakeModem modem{clock};
    std::vector<std::string> label3;
    Dialer dialer{
        clock, paths, callList, connection,
        modem, log,   errors,   [this](const std::string& text) {
                     label3.push_back(text); }};

    std::vector<std::string> stepTexts() const {
        std::vector<std::string> texts;
        for (const auto& step : modem.steps) {
            texts.push_back(step.second);
        }
        return texts;
    }
};

TEST(Dialer, CallsEveryDueEntryInRecordOrderWithTheFixedCallAndPauseTimes) {
    DialerRig rig;
    test::writeAlwaysNeverAlways(rig.book);
    rig.book.write(3, contact("Cy", "555 9876", kScheduleAlways));  // a blank is dialable

    rig.dialer.SendPPage(99);
    rig.clock.advanceSeconds(120);

    const std::vector<std::string> call = {"open /dev/ttyS2 9600", "ATZ\r", "ATS7=60\r",
                                           "ATS0=0Q0V1X4&C1&D2M1\r"};
    std::vector<std::string> expected = call;
    expected.insert(expected.end(), {"ATDT 5551234@**99**\r", "+++,H", "close"});
    expected.insert(expected.end(), call.begin(), call.end());
    expected.insert(expected.end(), {"ATDT 555 9876@**99**\r", "+++,H", "close"});
    EXPECT_EQ(rig.stepTexts(), expected);

    // 25 s on the line, a moment for the escape to go out, 5 s pause, a few polls of modem
    // preparation.
    const auto& steps = rig.modem.steps;
    EXPECT_NEAR(steps[5].first - steps[4].first, 25.0, 0.001);
    EXPECT_NEAR(steps[6].first - steps[5].first, 0.26, 0.001);
    EXPECT_NEAR(steps[7].first - steps[5].first, 5.0, 0.001);
    EXPECT_LT(steps[4].first, 0.1);
    EXPECT_TRUE(rig.errors.shown.empty());

    EXPECT_EQ(rig.todaysLog(),
              "10:00:00 **99**5551234                 \r\n"
              "10:00:30 **99**555 9876                \r\n");
    EXPECT_EQ(rig.label3.back(), "");
    EXPECT_NE(std::find(rig.label3.begin(), rig.label3.end(), "Dialing 555 9876                "),
              rig.label3.end());
}

TEST(Dialer, NoModemEndsTheSequenceWithDialingErrorAfterTwoSeconds) {
    DialerRig rig;
    rig.book.write(1, contact("Ann", "5551234", kScheduleAlways));
    rig.book.write(2, contact("Bob", "5550000", kScheduleAlways));
    rig.modem.answers = false;

    rig.clock.advanceSeconds(0.7);  // the wait ends on whole seconds of the clock
    rig.dialer.SendPPage(99);
    rig.clock.advanceSeconds(90);

    EXPECT_EQ(rig.stepTexts(),
              (std::vector<std::string>{"open /dev/ttyS2 9600", "ATZ\r", "close"}));
    ASSERT_EQ(rig.errors.shown.size(), 1u);
    EXPECT_EQ(rig.errors.shown[0].second,
              "Dialing Error.  If this message persists, try a different baud rate");
    const double waited = rig.errors.shown[0].first - 0.7;
    EXPECT_GE(waited, 1.5);
    EXPECT_LE(waited, 2.5);
    EXPECT_FALSE(rig.modem.isOpen());
}

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
    EXPECT_EQ(rig.stepTexts().at(4), "ATDT 5550000@**11**\r");
    EXPECT_EQ(rig.todaysLog().find("555\r"), std::string::npos);
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
    EXPECT_EQ(rig.stepTexts().back(), "ATDT 5550000@**98**\r");
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
