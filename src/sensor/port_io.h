#pragma once

#include <functional>
#include <string>

namespace dvx {

// The relay and remote-input hardware: the first parallel port (`RemoteControl` 1) or the
// Prairie Digital I/O board at 0x284 (`RemoteControl` 2).
namespace port_address {
inline constexpr int kParallelData = 0x378;    // relays 0..7
inline constexpr int kParallelStatus = 0x379;  // inputs on status bits 6..3, inverted
inline constexpr int kBoardPortA = 0x284;      // relays 0..7
inline constexpr int kBoardPortB = 0x285;      // inputs on bits 6..3
inline constexpr int kBoardPortC = 0x286;      // relays 8..11 on the lower half
inline constexpr int kBoardControl = 0x287;    // 8255 mode word
}  // namespace port_address

// One byte in or out of an I/O port address. Both calls throw IoError (naming the device and
// the system's reason) when the access fails or the address is not one the device has.
// Main thread only.
class PortIo {
  public:
    virtual ~PortIo() = default;
    virtual int Inp(int address) = 0;  // 0..255
    virtual void Outp(int address, int value) = 0;
    // The device as messages name it ("the parallel port /dev/parport0").
    virtual std::string device() const = 0;
};

// Keeps the port of the chosen interface open between calls, reopens it when `RemoteControl`
// changes, and deals with ports that cannot be opened or stop working: the trouble is shown
// once, the call that met it is skipped, and the port is tried again a few seconds later.
// Main thread only.
class PortAccess {
  public:
    virtual ~PortAccess() = default;

    // Runs `use` with the port of interface `RemoteControl` (1 or 2). Returns false, without
    // throwing, when the port is not usable now or `use` failed.
    virtual bool withPort(int RemoteControl, const std::function<void(PortIo&)>& use) = 0;
    // Lets the port go (the interface was switched off); a later withPort starts afresh.
    virtual void closePort() = 0;
    // Runs after the port works again following a failure, so that outputs the failure kept
    // from the hardware can be written again.
    virtual void setOnRecovered(std::function<void()> step) = 0;
};

}  // namespace dvx
