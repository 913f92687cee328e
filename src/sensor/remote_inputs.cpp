#include "sensor/remote_inputs.h"

#include <exception>

#include "common/record_codec.h"
#include "common/record_file.h"
#include "common/time_text.h"
#include "sensor/port_io.h"
#include "settings/parameters.h"
#include "viewers/error_reporter.h"

namespace dvx {
namespace {

constexpr int kInputCount = 4;
constexpr std::size_t kMessageWidth = 64;

}  // namespace

RemoteInputs::RemoteInputs(const Clock& clock, const Parameters& parameters, PortAccess& ports,
                           const RecordFile& MessageFile, const std::string& Facility,
                           MailSender SendEmail, ErrorReporter& errors)
    : m_clock(clock),
      m_parameters(parameters),
      m_ports(ports),
      m_messageFile(MessageFile),
      m_facility(Facility),
      m_sendEmail(std::move(SendEmail)),
      m_errors(errors) {}

void RemoteInputs::PollInputs() {
    if (!readInputs()) {
        return;
    }
    // The byte is taken apart in a copy, so that the last reading stays in InputBits.
    std::int32_t bits = InputBits;
    if (bits >= 128) {
        bits -= 128;
    }
    // Input n sits on bit 7 - n; a negative reading leaves every input inactive.
    for (int input = 1; input <= kInputCount; ++input) {
        const std::int32_t weight = 128 >> input;
        if (bits >= weight) {
            bits -= weight;
            if (!InputActive[input]) {
                report(input, true);
                InputActive[input] = true;
            }
        } else if (InputActive[input]) {
            InputActive[input] = false;
            report(input, false);
        }
    }
    // Bits 2, 1 and 0 are read but not used.
}

bool RemoteInputs::readInputs() {
    const int RemoteControl = m_parameters.RemoteControl;
    int byte = 0;
    if (RemoteControl == 1) {
        if (!m_ports.withPort(
                1, [&byte](PortIo& port) { byte = port.Inp(port_address::kParallelStatus); })) {
            return false;
        }
        // The inputs pull their status lines low; bit 7 (busy) is inverted by the port.
        InputBits = 127 - byte;
    } else if (RemoteControl == 2) {
        if (!m_ports.withPort(
                2, [&byte](PortIo& port) { byte = port.Inp(port_address::kBoardPortB); })) {
            return false;
        }
        InputBits = byte;
    } else {
        m_ports.closePort();
        // An unknown interface keeps the last reading, so the inputs stay as they were.
        return RemoteControl != 0;
    }
    return true;
}

void RemoteInputs::report(int input, bool active) {
    if (m_parameters.EmailOnAlarm != 1) {
        return;
    }
    const LocalDateTime now = m_clock.now();
    std::string text = notificationDate(now.year, now.month, now.day) + " " +
                       notificationTime(now.secondsOfDay) + " " + messageText(input + 1);
    if (!active) {
        text += " has ended";
    }
    try {
        m_sendEmail(trimBlanks(m_facility) + " Alarm", text);
    } catch (const std::exception& error) {
        m_errors.showError(error.what());
    }
}

std::string RemoteInputs::messageText(int record) const {
    try {
        const Bytes bytes = m_messageFile.read(record);
        return trimBlanks(RecordReader(bytes).text(kMessageWidth));
    } catch (const std::exception& error) {
        // The mail still tells of the change, without the input's own words.
        m_errors.showError(error.what());
        return "";
    }
}

}  // namespace dvx
