#include "platform/port_opener.h"

#include <gtest/gtest.h>

#include "common/record_file.h"
#include "common/simulated_clock.h"
#include "sensor/relays.h"
#include "sensor/remote_inputs.h"
#include "settings/parameters.h"
#include "support/temp_folder.h"

namespace dvx {
namespace {

// The sensor's relays and inputs on the real port access, with register files standing in for
// the devices under <root>/dev.
struct PortRig {
    PortRig() { std::filesystem::create_directories(root.path() / "dev"); }

    std::filesystem::path parport() const { return root.path() / "dev/parport"; }
    std::filesystem::path port() const { return root.path() / "dev/port"; }

    // Polls ten times a second for `seconds`, as the clock tick does.
    void pollFor(double seconds) {
        for (int tick = 0; tick < static_cast<int>(seconds * 10); ++tick) {
            clock.advanceSeconds(0.1);
            inputs.PollInputs();
        }
    }

    test::TempFolder root;
    Paths paths{root.path()};
    SimulatedClock clock{2026, 3, 2, 36000};
    Parameters parameters;
    test::RecordingErrorReporter errors;
    RecordFile MessageFile{root.path() / "MessageFile.dat", 64};
    std::string Facility = "WDVX";
    int mails = 0;
    PortOpener ports{paths, clock, errors};
    Relays relays{clock, parameters, ports};
    RemoteInputs inputs{clock,    parameters,
                        ports,    MessageFile,
                        Facility, [this](const std::string&, const std::string&) { ++mails; },
                        errors};
};

TEST(PortOpener, RegisterFilesStandInForTheParallelPortAndTheBoard) {
    PortRig rig;
    rig.parameters.EmailOnAlarm = 1;
    rig.parameters.RemoteControl = 1;
    test::writeFile(rig.parport(), std::string("\x00\x77\x00", 3));  // input 4 pulled low
    rig.relays.RelayState[5] = 1;
    rig.relays.WriteRelays();
    rig.inputs.PollInputs();
    EXPECT_EQ(test::fileBytes(rig.parport()), (std::vector<std::uint8_t>{0x20, 0x77, 0x00}));
    EXPECT_EQ(rig.inputs.InputActive, (std::array<bool, 5>{false, false, false, false, true}));

    // Switching to the board opens /dev/port's stand-in; the board's inputs are active high.
    std::string board(0x288, '\0');
    board[0x285] = 64;
    test::writeFile(rig.port(), board);
    rig.parameters.RemoteControl = 2;
    rig.relays.RelayState[10] = 1;
    rig.relays.WriteRelays();
    rig.inputs.PollInputs();
    const std::vector<std::uint8_t> bytes = test::fileBytes(rig.port());
    EXPECT_EQ(bytes[0x284], 0x20);
    EXPECT_EQ(bytes[0x286], 4);
    EXPECT_EQ(bytes[0x287], 0x8A);
    EXPECT_EQ(rig.inputs.InputActive, (std::array<bool, 5>{false, true, false, false, false}));
    EXPECT_EQ(rig.mails, 3);
    EXPECT_TRUE(rig.errors.messages.empty());
}

TEST(PortOpener, AnUnopenablePortIsShownOnceAndTriedAgainUntilItWorks) {
    PortRig rig;
    rig.parameters.RemoteControl = 1;
    rig.parameters.AlarmRelay = 1;
    std::filesystem::create_directory(rig.parport());  // cannot be opened for writing

    rig.relays.switchAlarmRelayOn();
    rig.pollFor(30);
    ASSERT_EQ(rig.errors.messages.size(), 1u);
    EXPECT_EQ(
        rig.errors.messages[0].rfind(
            "Cannot open the parallel port " + rig.parport().string() + ": Is a directory", 0),
        0u)
        << rig.errors.messages[0];

    std::filesystem::remove(rig.parport());
    test::writeFile(rig.parport(), std::string("\x00\x7F\x00", 3));
    rig.pollFor(11);
    ASSERT_EQ(rig.errors.messages.size(), 2u);
    EXPECT_EQ(rig.errors.messages[1],
              "The relays and remote inputs work again on the parallel port " +
                  rig.parport().string() + ".");
    // The relay switched on while the port was away reaches it now.
    EXPECT_EQ(test::fileBytes(rig.parport())[0], 1);
}

TEST(PortOpener, AFailingReadIsShownOnceAndTheInputsKeepTheirStates) {
    PortRig rig;
    rig.parameters.RemoteControl = 2;
    std::string board(0x288, '\0');
    board[0x285] = 8;
    test::writeFile(rig.port(), board);
    rig.inputs.PollInputs();
    ASSERT_TRUE(rig.inputs.InputActive[4]);

    std::filesystem::resize_file(rig.port(), 0x280);  // port B reads nothing
    rig.pollFor(25);
    EXPECT_TRUE(rig.inputs.InputActive[4]);
    ASSERT_EQ(rig.errors.messages.size(), 1u);
    EXPECT_NE(rig.errors.messages[0].find("Cannot read I/O board port 0x285 through " +
                                          rig.port().string()),
              std::string::npos)
        << rig.errors.messages[0];

    // Choosing the parallel port instead starts afresh: its trouble is shown in its turn.
    std::filesystem::create_directory(rig.parport());
    rig.parameters.RemoteControl = 1;
    rig.inputs.PollInputs();
    ASSERT_EQ(rig.errors.messages.size(), 2u);
    EXPECT_NE(rig.errors.messages[1].find(rig.parport().string()), std::string::npos);
}

}  // namespace
}  // namespace dvx
