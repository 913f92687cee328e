#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "common/clock.h"

namespace dvx {

class PortAccess;
struct Parameters;

// The relay outputs of the remote-control hardware: a table of on/off states written to the
// port whole, the alarm relay chosen by `AlarmRelay` (list position p >= 1 is relay p - 1),
// and `RelayTimer`, which switches the alarm relay off one second after it is enabled.
// With `RemoteControl` 0 no port is touched. Main thread only.
class Relays {
  public:
    Relays(Clock& clock, const Parameters& parameters, PortAccess& ports);
    ~Relays();

    // Writes the whole table to the hardware of `RemoteControl`. A port that fails is
    // reported by the port access; the table is written again once the port works again.
    void WriteRelays();

    // Sets the alarm relay and writes the table; nothing when `AlarmRelay` is 0. The relay
    // stays on until the alarm ends, the sensor stops, the fill ends or `RelayTimer` runs out.
    void switchAlarmRelayOn();
    // Clears the alarm relay (and the relay switched on for the alarm, should the choice have
    // changed since) and writes the table; nothing when neither names a relay.
    void switchAlarmRelayOff();

    Timer& RelayTimer() { return *m_relayTimer; }

    // Relay k (0..11) is on when RelayState[k] is 1; index 12 has no hardware.
    std::array<std::int32_t, 13> RelayState{};

  private:
    std::optional<int> alarmRelayIndex() const;
    void onRelayTimer();

    const Parameters& m_parameters;
    PortAccess& m_ports;
    std::unique_ptr<Timer> m_relayTimer;
    std::optional<int> m_relaySwitchedOn;  // the relay switchAlarmRelayOn set, until it is off
};

// The output bytes of the relay table: relays 0..7 (parallel data lines, board port A) and
// relays 8..11 (lower half of board port C).
int lowRelayByte(const std::array<std::int32_t, 13>& RelayState);
int highRelayByte(const std::array<std::int32_t, 13>& RelayState);

}  // namespace dvx
