#include "sensor/remote_inputs.h"

#include <gtest/gtest.h>

#include "common/record_codec.h"
#include "common/record_file.h"
#include "common/simulated_clock.h"
#include "sensor/port_io_fakes.h"
#include "settings/parameters.h"
#include "support/temp_folder.h"

namespace dvx {
namespace {

struct Mail {
    std::string subject;
    std::string text;
    bool operator==(const Mail&) const = default;
};

struct InputRig {
    InputRig() {
        for (int record = 2; record <= 5; ++record) {
            MessageFile.write(
                record, RecordWriter().text("Input " + std::to_string(record - 1), 64).bytes());
        }
        parameters.EmailOnAlarm = 1;
    }

    std::array<bool, 5> active() const { return inputs.InputActive; }

    test::TempFolder folder;
    RecordFile MessageFile{folder.path() / "MessageFile.dat", 64};
    SimulatedClock clock{2005, 12, 5, 8 * 3600};
    Parameters parameters;
    test::MemoryPortAccess ports;
    std::string Facility = "  WDVX   ";
    std::vector<Mail> mails;
    test::RecordingErrorReporter errors;
    RemoteInputs inputs{clock,
                        parameters,
                        ports,
                        MessageFile,
                        Facility,
                        [this](const std::string& subject, const std::string& text) {
                            mails.push_back({subject, text});
                        },
                        errors};
};

constexpr std::array<bool, 5> kNoneActive{};
constexpr std::array<bool, 5> kAllActive{false, true, true, true, true};

TEST(RemoteInputs, TheParallelStatusLinesAreActiveLow) {
    InputRig rig;
    rig.parameters.RemoteControl = 1;

    rig.ports.port.registers[0x379] = 0x7F;  // every line high
    rig.inputs.PollInputs();
    EXPECT_EQ(rig.inputs.InputBits, 0);
    EXPECT_EQ(rig.active(), kNoneActive);

    rig.ports.port.registers[0x379] = 0x07;  // status bits 6..3 pulled low
    rig.inputs.PollInputs();
    EXPECT_EQ(rig.active(), kAllActive);
    ASSERT_EQ(rig.mails.size(), 4u);
    EXPECT_EQ(rig.mails[0].text, "12-05-2005 08:00:00 Input 1");
    EXPECT_EQ(rig.mails[3].text, "12-05-2005 08:00:00 Input 4");

    // A status byte of 128 or more reads as every input inactive.
    rig.ports.port.registers[0x379] = 0x87;
    rig.inputs.PollInputs();
    EXPECT_EQ(rig.active(), kNoneActive);
    ASSERT_EQ(rig.mails.size(), 8u);
    EXPECT_EQ(rig.mails[4].text, "12-05-2005 08:00:00 Input 1 has ended");
    EXPECT_EQ(rig.ports.interfaces, (std::vector<int>{1, 1, 1}));
}

TEST(RemoteInputs, AToggledBoardInputMailsItsTextAndItsEnd) {
    InputRig rig;
    rig.parameters.RemoteControl = 2;
    rig.MessageFile.write(3, RecordWriter().text("  Door open", 64).bytes());

    // Bit 7 and the unused bits 2..0 do not count.
    rig.ports.port.registers[0x285] = 0x80 | 32 | 7;
    rig.inputs.PollInputs();
    rig.clock.advanceSeconds(1);
    rig.inputs.PollInputs();  // no change, no mail
    rig.ports.port.registers[0x285] = 0;
    rig.inputs.PollInputs();

    EXPECT_EQ(rig.mails, (std::vector<Mail>{
                             {"WDVX Alarm", "12-05-2005 08:00:00 Door open"},
                             {"WDVX Alarm", "12-05-2005 08:00:01 Door open has ended"},
                         }));
}

TEST(RemoteInputs, WithoutMailOrWithoutAReadingTheInputsStayWithTheHardware) {
    InputRig rig;
    rig.parameters.RemoteControl = 2;
    rig.parameters.EmailOnAlarm = 0;
    rig.ports.port.registers[0x285] = 64 | 8;
    rig.inputs.PollInputs();
    const std::array<bool, 5> inputsOneAndFour{false, true, false, false, true};
    EXPECT_EQ(rig.active(), inputsOneAndFour);

    // A failed read, or an interface the program does not know, changes nothing.
    rig.parameters.EmailOnAlarm = 1;
    rig.ports.port.failure = "Cannot read";
    rig.inputs.PollInputs();
    rig.ports.port.failure.clear();
    rig.parameters.RemoteControl = 7;
    rig.inputs.PollInputs();
    EXPECT_EQ(rig.active(), inputsOneAndFour);
    EXPECT_TRUE(rig.mails.empty());

    // Switched off: the port is let go and read no more.
    rig.parameters.RemoteControl = 0;
    rig.inputs.PollInputs();
    EXPECT_EQ(rig.ports.port.reads, 1);
    EXPECT_EQ(rig.ports.closes, 2);
}

}  // namespace
}  // namespace dvx
