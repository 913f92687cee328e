#pragma once

#include <functional>
#include <memory>
#include <string>

#include "common/clock.h"
#include "common/paths.h"
#include "sensor/port_io.h"

namespace dvx {

class ErrorReporter;

// The port of a `RemoteControl` choice, or why it could not be opened.
struct OpenedPort {
    std::unique_ptr<PortIo> port;
    std::string failure;  // set when `port` is empty
};

// Opens the port of `RemoteControl`: 1 the parallel port (/dev/parport0), 2 the I/O board
// (/dev/port). <data-root>/dev/parport and <data-root>/dev/port replace those paths where
// they exist.
OpenedPort openPort(int RemoteControl, const Paths& paths);

// The program's port access: opens the chosen port on first use and keeps it open. A port
// that cannot be opened, or a read or write that fails, is shown once in the error window;
// the call is skipped, the port is tried again every 10 seconds, and its return is shown
// too. Main thread only.
class PortOpener : public PortAccess {
  public:
    PortOpener(const Paths& paths, const Clock& clock, ErrorReporter& errors);
    ~PortOpener() override;

    bool withPort(int RemoteControl, const std::function<void(PortIo&)>& use) override;
    void closePort() override;
    void setOnRecovered(std::function<void()> step) override { m_onRecovered = std::move(step); }

  private:
    void fail(const std::string& reason);

    const Paths& m_paths;
    const Clock& m_clock;
    ErrorReporter& m_errors;
    std::unique_ptr<PortIo> m_port;
    int m_openFor = 0;         // the RemoteControl value of the port in use or being tried
    bool m_failing = false;    // the failure has been shown; waiting for the port to work
    double m_nextAttempt = 0;  // steady seconds of the next try while failing
    std::function<void()> m_onRecovered;
};

}  // namespace dvx
