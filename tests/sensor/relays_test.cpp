#include "sensor/relays.h"

#include <gtest/gtest.h>

#include "common/simulated_clock.h"
#include "sensor/port_io_fakes.h"
#include "settings/parameters.h"

namespace dvx {
namespace {

using Writes = std::vector<std::pair<int, int>>;

struct RelayRig {
    SimulatedClock clock{2026, 3, 2, 36000};
    Parameters parameters;
    test::MemoryPortAccess ports;
    Relays relays{clock, parameters, ports};
};

TEST(Relays, TheTableGoesToTheHardwareOfTheChosenInterface) {
    RelayRig rig;
    rig.relays.RelayState[0] = 1;
    rig.relays.RelayState[3] = 1;
    rig.relays.RelayState[9] = 1;

    rig.relays.WriteRelays();  // Off: no port is touched
    EXPECT_TRUE(rig.ports.interfaces.empty());

    rig.parameters.RemoteControl = 1;
    rig.relays.WriteRelays();
    EXPECT_EQ(rig.ports.port.writes, (Writes{{0x378, 9}}));

    rig.ports.port.writes.clear();
    rig.parameters.RemoteControl = 2;
    rig.relays.WriteRelays();
    // The mode word first, then port A with relays 0..7 and port C with relays 8..11.
    EXPECT_EQ(rig.ports.port.writes, (Writes{{0x287, 0x8A}, {0x284, 9}, {0x286, 2}}));
    EXPECT_EQ(rig.ports.interfaces, (std::vector<int>{1, 2}));
}

TEST(Relays, TheAlarmRelaySignalsTheAlarmAndRelayTimerSwitchesItOff) {
    RelayRig rig;
    rig.parameters.RemoteControl = 1;
    rig.parameters.AlarmRelay = 3;  // "Relay 2"

    rig.relays.switchAlarmRelayOn();
    EXPECT_EQ(rig.relays.RelayState[2], 1);
    EXPECT_EQ(rig.ports.port.writes, (Writes{{0x378, 4}}));

    EXPECT_FALSE(rig.relays.RelayTimer().isEnabled());
    rig.relays.RelayTimer().setEnabled(true);
    rig.clock.advanceSeconds(0.999);
    EXPECT_EQ(rig.relays.RelayState[2], 1);
    rig.clock.advanceSeconds(0.001);
    EXPECT_EQ(rig.relays.RelayState[2], 0);
    EXPECT_FALSE(rig.relays.RelayTimer().isEnabled());
    rig.clock.advanceSeconds(5);
    EXPECT_EQ(rig.ports.port.writes, (Writes{{0x378, 4}, {0x378, 0}}));
}

TEST(Relays, TheRelaySwitchedOnComesOffWhateverTheChoiceHasBecome) {
    RelayRig rig;
    rig.parameters.RemoteControl = 2;
    rig.parameters.AlarmRelay = 12;  // "Relay 11"
    rig.relays.switchAlarmRelayOn();
    EXPECT_EQ(rig.ports.port.writes.back(), (std::pair{0x286, 8}));

    rig.parameters.AlarmRelay = 0;  // "Off" chosen during the alarm
    rig.relays.switchAlarmRelayOff();
    EXPECT_EQ(rig.relays.RelayState[11], 0);
    EXPECT_EQ(rig.ports.port.writes.back(), (std::pair{0x286, 0}));

    // With no alarm relay, and with a damaged position, nothing is written.
    rig.ports.port.writes.clear();
    rig.relays.switchAlarmRelayOn();
    rig.relays.switchAlarmRelayOff();
    rig.parameters.AlarmRelay = 40;
    rig.relays.switchAlarmRelayOn();
    rig.relays.switchAlarmRelayOff();
    EXPECT_TRUE(rig.ports.port.writes.empty());
}

}  // namespace
}  // namespace dvx
