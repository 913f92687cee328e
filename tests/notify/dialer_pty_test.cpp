// The dialer on the real serial-port code, with a pseudo-terminal standing in for the modem.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <functional>
#include <thread>

#include "notify/contact_book.h"
#include "notify/dialer.h"
#include "notify/posix_serial_port.h"
#include "notify_rig.h"

namespace dvx {
namespace {

using test::contact;

// The modem end of a pseudo-terminal: records every byte the dialer sends, with the simulated
// second it arrived, and answers each command ended by CR with what `answer` gives for it (by
// default "OK" to everything but the dial command).
class PtyModem {
  public:
    PtyModem() {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        EXPECT_GE(m_master, 0);
        EXPECT_EQ(::grantpt(m_master), 0);
        EXPECT_EQ(::unlockpt(m_master), 0);
        m_slavePath = ::ptsname(m_master);
        // Held open so the line outlives the dialer's closes, and to see what is waiting on it.
        m_probe = ::open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        EXPECT_GE(m_probe, 0);
    }
    ~PtyModem() {
        ::close(m_probe);
        ::close(m_master);
    }

    const std::string& slavePath() const { return m_slavePath; }

    void serve(double now) {
        char buffer[256];
        ssize_t count;
        while ((count = ::read(m_master, buffer, sizeof buffer)) > 0) {
            for (ssize_t i = 0; i < count; ++i) {
                const char c = buffer[i];
                transcript += c;
                m_command += c;
                if (c == '\r') {
                    commandTimes.emplace_back(now, m_command);
                    if (const std::string words = answer(m_command); !words.empty()) {
                        reply(m_command + "\r\n" + words + "\r\n");
                    }
                    m_command.clear();
                }
            }
        }
        if (m_command == "+++,H") {
            commandTimes.emplace_back(now, m_command);
            m_command.clear();
        }
    }

    std::function<std::string(const std::string& command)> answer = [](const std::string& command) {
        return command.starts_with("ATDT") ? "" : "OK";
    };
    std::string transcript;
    std::vector<std::pair<double, std::string>> commandTimes;

  private:
    // Waits (briefly, in real time) until the reply has reached the dialer's side of the line.
    void reply(const std::string& text) {
        ASSERT_EQ(::write(m_master, text.data(), text.size()), static_cast<ssize_t>(text.size()));
        for (int i = 0; i < 1000; ++i) {
            int waiting = 0;
            ::ioctl(m_probe, FIONREAD, &waiting);
            if (waiting >= static_cast<int>(text.size())) {
                return;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }

    int m_master = -1;
    int m_probe = -1;
    std::string m_slavePath;
    std::string m_command;
};

// Opens the device as a program without CAP_SYS_ADMIN would (root's opens pass an exclusive
// line): 0 when it opens, else the error number.
int openAsAnotherProgram(const std::string& device) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct caps[2]{};
    ::syscall(SYS_capget, &header, caps);
    __u32& effective = caps[CAP_TO_INDEX(CAP_SYS_ADMIN)].effective;
    const __u32 saved = effective;
    effective &= ~CAP_TO_MASK(CAP_SYS_ADMIN);
    ::syscall(SYS_capset, &header, caps);  // this thread only
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    const int error = fd < 0 ? errno : 0;
    effective = saved;
    ::syscall(SYS_capset, &header, caps);
    if (fd >= 0) {
        ::close(fd);
    }
    return error;
}

constexpr std::string_view kPrepare = "ATZ\rATS7=60\rATS0=0Q0V1X4&C1&D2M1\r";
constexpr std::string_view kDialingError =
    "Dialing Error.  If this message persists, try a different baud rate";

struct PtyRig : test::NotifyRig {
    PtyModem modem;
    RecordFile callList{paths.dataFile("CallList.dat"), kCallListFormat.recordLength};
    ContactBook book{callList, kCallListFormat};
    PosixSerialPort port;
    std::vector<std::string> label3;
    Dialer dialer{
        clock, paths, callList, connection,
        port,  log,   errors,   [this](const std::string& text) { label3.push_back(text); }};

    PtyRig() {
        std::filesystem::create_directories(paths.deviceOverride("COM1").parent_path());
        std::filesystem::create_symlink(modem.slavePath(), paths.deviceOverride("COM1"));
        connection = {1, "9600", 0};
    }
    void run(double seconds) {
        for (int step = 0; step < static_cast<int>(seconds * 100); ++step) {
            clock.advance(std::chrono::milliseconds(10));
            modem.serve(this->seconds());
        }
    }
};

TEST(DialerOnPseudoTerminal, SendsTheModemCommandsByteForByteAndHoldsTheLineForItself) {
    PtyRig rig;
    test::writeAlwaysNeverAlways(rig.book);
    rig.book.write(3, contact("Cy", "555 9876", kScheduleAlways));  // a blank is dialable

    rig.dialer.SendPPage(99);
    rig.run(1);
    // In the call no other program can open the modem; once the port is closed again it can.
    EXPECT_EQ(openAsAnotherProgram(rig.modem.slavePath()), EBUSY);
    rig.run(64);
    EXPECT_EQ(openAsAnotherProgram(rig.modem.slavePath()), 0);

    const std::string prepare(kPrepare);
    EXPECT_EQ(rig.modem.transcript,
              prepare + "ATDT 5551234@**99**\r+++,H" + prepare + "ATDT 555 9876@**99**\r+++,H");
    const auto& times = rig.modem.commandTimes;
    ASSERT_EQ(times.size(), 10u);
    EXPECT_NEAR(times[4].first - times[3].first, 25.0, 0.05);  // dial to hang-up
    EXPECT_NEAR(times[5].first - times[4].first, 5.0, 0.05);   // hang-up to the next reset
    EXPECT_LT(times[3].first, 0.5);  // the answers came at once, so preparing was quick
    EXPECT_TRUE(rig.errors.shown.empty());
    EXPECT_FALSE(rig.port.isOpen());
    EXPECT_EQ(rig.todaysLog(),
              "10:00:00 **99**5551234                 \r\n"
              "10:00:30 **99**555 9876                \r\n");
    EXPECT_NE(std::find(rig.label3.begin(), rig.label3.end(), "Dialing 555 9876                "),
              rig.label3.end());
    EXPECT_EQ(rig.label3.back(), "");
}

TEST(DialerOnPseudoTerminal, APageAskedForDuringASequenceWaitsForItAndKeepsItsOwnCode) {
    PtyRig rig;
    test::writeAlwaysNeverAlways(rig.book);
    // The dialer does not judge a call by its outcome.
    rig.modem.answer = [](const std::string& command) {
        return command.starts_with("ATDT") ? "NO CARRIER" : "OK";
    };

    rig.dialer.SendPPage(99);
    rig.run(0.05);  // preparing the modem for the first call
    rig.dialer.SendPPage(98);
    rig.run(40);  // in the second call of the first sequence
    rig.dialer.SendPPage(11);
    rig.run(150);

    const std::string prepare(kPrepare);
    std::string expected;
    for (const char* code : {"99", "98", "11"}) {
        for (const char* number : {"5551234", "5559876"}) {
            expected += prepare + "ATDT " + number + "@**" + code + "**\r+++,H";
        }
    }
    EXPECT_EQ(rig.modem.transcript, expected);
    EXPECT_TRUE(rig.errors.shown.empty()) << rig.errors.shown[0].second;
    EXPECT_FALSE(rig.port.isOpen());
}

TEST(DialerOnPseudoTerminal, AModemThatAnswersErrorEndsThePageAtOnceAndTheNextPageStillRuns) {
    PtyRig rig;
    rig.book.write(1, contact("Ann", "5551234", kScheduleAlways));
    rig.book.write(2, contact("Bob", "5550000", kScheduleAlways));
    bool refused = false;
    rig.modem.answer = [&refused](const std::string& command) -> std::string {
        if (command.starts_with("ATS0") && !refused) {
            refused = true;
            return "ERROR";
        }
        return command.starts_with("ATDT") ? "" : "OK";
    };

    rig.dialer.SendPPage(99);
    rig.dialer.SendPPage(11);
    rig.run(2);

    ASSERT_EQ(rig.errors.shown.size(), 1u);
    EXPECT_LT(rig.errors.shown[0].first, 0.5);  // no waiting out the reply time
    EXPECT_EQ(rig.errors.shown[0].second,
              "The modem answered ERROR to ATS0=0Q0V1X4&C1&D2M1: the call to 5551234 was not "
              "made and paging with code 99 stopped. Check that the modem on serial port 1 is "
              "Hayes-compatible (Setup, My Connection).");
    const std::string prepare(kPrepare);
    EXPECT_EQ(rig.modem.transcript, prepare + prepare + "ATDT 5551234@**11**\r");
    EXPECT_EQ(rig.todaysLog(),
              "10:00:00 Page failed--> Ann  the modem answered ERROR to ATS0=0Q0V1X4&C1&D2M1\r\n"
              "10:00:00 **11**5551234                 \r\n");
}

TEST(DialerOnPseudoTerminal, NoAnswerGivesDialingErrorAndThePageWaitingBehindTriesAgain) {
    PtyRig rig;
    rig.book.write(1, contact("Ann", "5551234", kScheduleAlways));
    rig.modem.answer = [](const std::string&) { return ""; };

    rig.dialer.SendPPage(99);
    rig.dialer.SendPPage(98);
    rig.run(6);

    EXPECT_EQ(rig.modem.transcript, "ATZ\rATZ\r");
    ASSERT_EQ(rig.errors.shown.size(), 2u);
    for (const auto& [second, message] : rig.errors.shown) {
        EXPECT_EQ(message, kDialingError);
    }
    EXPECT_GE(rig.errors.shown[0].first, 1.5);
    EXPECT_LE(rig.errors.shown[0].first, 2.5);
    EXPECT_GE(rig.errors.shown[1].first - rig.errors.shown[0].first, 1.5);
    EXPECT_LE(rig.errors.shown[1].first - rig.errors.shown[0].first, 2.5);
    EXPECT_FALSE(rig.port.isOpen());
    EXPECT_EQ(rig.logEntries(),
              std::vector<std::string>(2, "Page failed--> Ann  no answer from the modem to ATZ"));
}

TEST(DialerOnPseudoTerminal, AMissingDeviceIsReportedWithItsErrorNumber) {
    test::NotifyRig rig;
    RecordFile callList{rig.paths.dataFile("CallList.dat"), kCallListFormat.recordLength};
    ContactBook(callList, kCallListFormat).write(1, contact("Ann", "1", kScheduleAlways));
    std::filesystem::create_directories(rig.paths.deviceOverride("COM2").parent_path());
    std::filesystem::create_symlink(rig.folder.path() / "no-such-device",
                                    rig.paths.deviceOverride("COM2"));
    rig.connection.ComPort = 2;
    PosixSerialPort port;
    Dialer dialer{rig.clock, rig.paths, callList,   rig.connection,
                  port,      rig.log,   rig.errors, [](const std::string&) {}};

    dialer.SendPPage(99);
    ASSERT_EQ(rig.errors.shown.size(), 1u);
    EXPECT_EQ(rig.errors.shown[0].second.rfind("2 The serial port ", 0), 0u);
    EXPECT_NE(rig.errors.shown[0].second.find("No such file or directory"), std::string::npos);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(rig.logEntries(), std::vector<std::string>{"Page failed--> Ann  The serial port " +
                                                         rig.paths.deviceOverride("COM2").string() +
                                                         " cannot be opened: No such file or "
                                                         "directory"});
}

}  // namespace
}  // namespace dvx
