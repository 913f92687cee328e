#include "sensor/relays.h"

#include <utility>

#include "sensor/port_io.h"
#include "settings/parameters.h"

namespace dvx {
namespace {

constexpr int kRelayTimerMs = 1000;
constexpr int kBoardMode = 0x8A;  // mode 0: A out, B in, C upper half in, C lower half out

}  // namespace

int lowRelayByte(const std::array<std::int32_t, 13>& RelayState) {
    int sum = 0;
    for (int k = 0; k <= 7; ++k) {
        sum += RelayState[k] << k;
    }
    return sum;
}

int highRelayByte(const std::array<std::int32_t, 13>& RelayState) {
    int sum = 0;
    for (int k = 8; k <= 11; ++k) {
        sum += RelayState[k] << (k - 8);
    }
    return sum;
}

Relays::Relays(Clock& clock, const Parameters& parameters, PortAccess& ports)
    : m_parameters(parameters), m_ports(ports) {
    m_relayTimer = clock.createTimer("RelayTimer", kRelayTimerMs, [this] { onRelayTimer(); });
    // A write lost to a failing port would leave the relays as they were; the port access
    // outlives this object.
    m_ports.setOnRecovered([this] { WriteRelays(); });
}

Relays::~Relays() {
    m_ports.setOnRecovered({});
}

void Relays::WriteRelays() {
    const int RemoteControl = m_parameters.RemoteControl;
    if (RemoteControl == 1) {
        m_ports.withPort(1, [this](PortIo& port) {
            port.Outp(port_address::kParallelData, lowRelayByte(RelayState));
        });
    } else if (RemoteControl == 2) {
        m_ports.withPort(2, [this](PortIo& port) {
            port.Outp(port_address::kBoardControl, kBoardMode);
            port.Outp(port_address::kBoardPortA, lowRelayByte(RelayState));
            port.Outp(port_address::kBoardPortC, highRelayByte(RelayState));
        });
    }
}

void Relays::switchAlarmRelayOn() {
    const std::optional<int> relay = alarmRelayIndex();
    if (!relay) {
        return;
    }
    RelayState[*relay] = 1;
    m_relaySwitchedOn = *relay;
    WriteRelays();
}

void Relays::switchAlarmRelayOff() {
    const std::optional<int> relay = alarmRelayIndex();
    // The relay switched on for the alarm comes off even when the Preferences window has
    // chosen another alarm relay, or none, in the meantime.
    const std::optional<int> switchedOn = std::exchange(m_relaySwitchedOn, std::nullopt);
    if (!relay && !switchedOn) {
        return;
    }
    for (const std::optional<int>& index : {relay, switchedOn}) {
        if (index) {
            RelayState[*index] = 0;
        }
    }
    WriteRelays();
}

std::optional<int> Relays::alarmRelayIndex() const {
    const std::int32_t AlarmRelay = m_parameters.AlarmRelay;
    // A stored position outside the table (a damaged parameters file) names no relay.
    if (AlarmRelay < 1 || AlarmRelay > static_cast<std::int32_t>(RelayState.size())) {
        return std::nullopt;
    }
    return AlarmRelay - 1;
}

void Relays::onRelayTimer() {
    switchAlarmRelayOff();
    m_relayTimer->setEnabled(false);
}

}  // namespace dvx
