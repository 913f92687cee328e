#pragma once

#include <chrono>
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
// they exist. May block for as long as the device makes it (claiming a parallel port that
// another driver holds waits for that driver); any thread may call it.
OpenedPort openPort(int RemoteControl, const Paths& paths);

// Opens a port as openPort does; runs on a thread of its own.
using PortOpenFunction = std::function<OpenedPort(int RemoteControl)>;

// The program's port access: opens the chosen port on first use and keeps it open. A port
// that cannot be opened, or a read or write that fails, is shown once in the error window;
// the call is skipped, the port is tried again every 10 seconds, and its return is shown
// too.
//
// Opening runs on a thread of its own and the caller waits for it only briefly, so a port
// whose claim hangs never holds up the clock tick: it is shown as not answering, the calls
// are skipped meanwhile, and the port is taken into use as soon as the open ends. An open
// that is given up (the interface was switched, or the run ends) is left to finish by itself
// and whatever it opened is closed then.
//
// Threads: main thread only, apart from the open function.
class PortOpener : public PortAccess {
  public:
    // How long a call waits for an open it starts.
    static constexpr std::chrono::milliseconds kOpenWait{50};

    PortOpener(const Paths& paths, const Clock& clock, ErrorReporter& errors);
    // With `open` in place of openPort.
    PortOpener(PortOpenFunction open, const Clock& clock, ErrorReporter& errors);
    ~PortOpener() override;
    PortOpener(const PortOpener&) = delete;
    PortOpener& operator=(const PortOpener&) = delete;

    bool withPort(int RemoteControl, const std::function<void(PortIo&)>& use) override;
    void closePort() override;
    void setOnRecovered(std::function<void()> step) override { m_onRecovered = std::move(step); }

  private:
    struct PendingOpen;
    enum class Trouble { None, NotAnswering, Failed };  // what the error window was last told

    bool obtainPort(int RemoteControl);
    void startOpen(int RemoteControl);
    void fail(const std::string& reason);
    void notAnswering(int RemoteControl);

    PortOpenFunction m_open;
    const Clock& m_clock;
    ErrorReporter& m_errors;
    std::unique_ptr<PortIo> m_port;
    std::shared_ptr<PendingOpen> m_pending;  // an open under way; shared with its thread
    int m_openFor = 0;  // the RemoteControl value of the port in use or being tried
    Trouble m_trouble = Trouble::None;
    double m_nextAttempt = 0;  // steady seconds of the next try after a failure
    std::function<void()> m_onRecovered;
};

}  // namespace dvx
