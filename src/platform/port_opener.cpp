#include "platform/port_opener.h"

#include <exception>
#include <filesystem>
#include <system_error>

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

PortOpener::PortOpener(const Paths& paths, const Clock& clock, ErrorReporter& errors)
    : m_paths(paths), m_clock(clock), m_errors(errors) {}

PortOpener::~PortOpener() = default;

bool PortOpener::withPort(int RemoteControl, const std::function<void(PortIo&)>& use) {
    if (RemoteControl != m_openFor) {
        // The Preferences window switched interfaces: the new one starts with a clean slate.
        closePort();
        m_openFor = RemoteControl;
    }
    if (!m_port) {
        if (m_failing && m_clock.steadySeconds() < m_nextAttempt) {
            return false;
        }
        OpenedPort opened = openPort(RemoteControl, m_paths);
        if (!opened.port) {
            fail(opened.failure);
            return false;
        }
        m_port = std::move(opened.port);
    }
    try {
        use(*m_port);
    } catch (const std::exception& error) {
        // Closed, so that the next try opens the device afresh.
        m_port.reset();
        fail(error.what());
        return false;
    }
    if (m_failing) {
        m_failing = false;
        m_errors.showError("The relays and remote inputs work again on " + m_port->device() + ".");
        if (m_onRecovered) {
            m_onRecovered();
        }
    }
    return true;
}

void PortOpener::closePort() {
    m_port.reset();
    m_openFor = 0;
    m_failing = false;
}

void PortOpener::fail(const std::string& reason) {
    m_nextAttempt = m_clock.steadySeconds() + kRetrySeconds;
    if (m_failing) {
        return;
    }
    m_failing = true;
    m_errors.showError(reason +
                       "  The relays and remote inputs are idle until the port works; the "
                       "program tries again every 10 seconds.");
}

}  // namespace dvx
