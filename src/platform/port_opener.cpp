#include "platform/port_opener.h"

#include <condition_variable>
#include <exception>
#include <filesystem>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/dev_port.h"
#include "platform/ppdev_port.h"
#include "viewers/error_reporter.h"

namespace dvx {
namespace {

constexpr double kRetrySeconds = 10.0;

// The override where one exists (a dangling link included, so that a broken override is
// reported rather than passed over for the real hardware), else the system device.
std::filesystem::path devicePath(const Paths& paths, std::string_view overrideName,
                                 const char* systemDevice) {
    const std::filesystem::path override = paths.deviceOverride(overrideName);
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(override, error))) {
        return override;
    }
    return systemDevice;
}

}  // namespace

OpenedPort openPort(int RemoteControl, const Paths& paths) {
    OpenedPort opened;
    try {
        if (RemoteControl == 1) {
            opened.port =
                std::make_unique<PpdevPort>(devicePath(paths, "parport", "/dev/parport0"));
        } else if (RemoteControl == 2) {
            opened.port = std::make_unique<DevPort>(devicePath(paths, "port", "/dev/port"));
        } else {
            opened.failure = "Remote control " + std::to_string(RemoteControl) +
                             " is not an interface this program knows.";
        }
    } catch (const std::exception& error) {
        opened.failure = error.what();
    }
    return opened;
}

// One open on its own thread, shared by the opener and that thread so that either may be
// done with it first. When the opener has let go, the thread's share is the last, and the port
// it opened closes with it.
struct PortOpener::PendingOpen {
    std::mutex mutex;
    std::condition_variable finished;
    std::optional<OpenedPort> result;

    // The result, once the open has ended; waits at most `wait` for it.
    std::optional<OpenedPort> take(std::chrono::milliseconds wait) {
        std::unique_lock lock(mutex);
        finished.wait_for(lock, wait, [this] { return result.has_value(); });
        return std::exchange(result, std::nullopt);
    }
};

PortOpener::PortOpener(const Paths& paths, const Clock& clock, ErrorReporter& errors)
    : PortOpener([paths](int RemoteControl) { return openPort(RemoteControl, paths); }, clock,
                 errors) {}

PortOpener::PortOpener(PortOpenFunction open, const Clock& clock, ErrorReporter& errors)
    : m_open(std::move(open)), m_clock(clock), m_errors(errors) {}

PortOpener::~PortOpener() = default;

bool PortOpener::withPort(int RemoteControl, const std::function<void(PortIo&)>& use) {
    if (RemoteControl != m_openFor) {
        // The Preferences window switched interfaces: the new one starts with a clean slate.
        closePort();
        m_openFor = RemoteControl;
    }
    if (!m_port && !obtainPort(RemoteControl)) {
        return false;
    }
    try {
        use(*m_port);
    } catch (const std::exception& error) {
        // Closed, so that the next try opens the device afresh.
        m_port.reset();
        fail(error.what());
        return false;
    }
    if (m_trouble != Trouble::None) {
        m_trouble = Trouble::None;
        m_errors.showError("The relays and remote inputs work again on " + m_port->device() + ".");
        if (m_onRecovered) {
            m_onRecovered();
        }
    }
    return true;
}

bool PortOpener::obtainPort(int RemoteControl) {
    std::chrono::milliseconds wait{0};  // an open under way is only looked at
    if (!m_pending) {
        if (m_trouble == Trouble::Failed && m_clock.steadySeconds() < m_nextAttempt) {
            return false;
        }
        try {
            startOpen(RemoteControl);
        } catch (const std::exception& error) {
            fail(std::string("Cannot start opening the port: ") + error.what());
            return false;
        }
        wait = kOpenWait;
    }
    std::optional<OpenedPort> opened = m_pending->take(wait);
    if (!opened) {
        notAnswering(RemoteControl);
        return false;
    }
    m_pending.reset();
    if (!opened->port) {
        fail(opened->failure);
        return false;
    }
    m_port = std::move(opened->port);
    return true;
}

void PortOpener::startOpen(int RemoteControl) {
    auto pending = std::make_shared<PendingOpen>();
    std::thread([pending, open = m_open, RemoteControl] {
        OpenedPort opened;
        try {
            opened = open(RemoteControl);
        } catch (const std::exception& error) {
            opened.failure = error.what();
        } catch (...) {
            opened.failure = "The port could not be opened.";
        }
        std::lock_guard lock(pending->mutex);
        pending->result = std::move(opened);
        pending->finished.notify_all();
    }).detach();  // a claim that never ends must not hold up the end of the run
    m_pending = std::move(pending);
}

void PortOpener::closePort() {
    m_port.reset();
    m_pending.reset();  // an open under way closes its port by itself when it ends
    m_openFor = 0;
    m_trouble = Trouble::None;
}

void PortOpener::fail(const std::string& reason) {
    m_nextAttempt = m_clock.steadySeconds() + kRetrySeconds;
    if (m_trouble == Trouble::Failed) {
        return;
    }
    m_trouble = Trouble::Failed;
    m_errors.showError(reason +
                       "  The relays and remote inputs are idle until the port works; the "
                       "program tries again every 10 seconds.");
}

void PortOpener::notAnswering(int RemoteControl) {
    if (m_trouble != Trouble::None) {
        return;  // the trouble on show already says the relays are idle
    }
    m_trouble = Trouble::NotAnswering;
    const char* port = RemoteControl == 1 ? "The parallel port" : "The relay and input port";
    m_errors.showError(std::string(port) +
                       " does not answer: another program or driver may be holding it. The "
                       "relays and remote inputs are idle until it is free; the program keeps "
                       "waiting for it.");
}

}  // namespace dvx
