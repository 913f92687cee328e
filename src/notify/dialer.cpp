#include "notify/dialer.h"

#include <cmath>

#include "common/io_error.h"
#include "common/record_codec.h"
#include "notify/modem_commands.h"
#include "notify/serial_port.h"
#include "notify/text_encoding.h"
#include "sensor/alarm_log.h"
#include "settings/connection_settings.h"
#include "viewers/error_reporter.h"

namespace dvx {
namespace {

constexpr int kHangUpMs = 25000;
constexpr int kDialNextMs = 5000;
// The waits end when the clock has moved more than this many seconds from the whole second
// taken at their start, so they last 1.5 to 2.5 s (0.5 to 1.5 s for the options).
constexpr double kReplyLimitSeconds = 2;
constexpr double kOptionsReplyLimitSeconds = 1;
// Time for the hang-up escape to go out before the port closes: six characters even at 300 baud.
constexpr double kHangUpSendSeconds = 0.25;

constexpr std::string_view kNoModemMessage =
    "Dialing Error.  If this message persists, try a different baud rate";

}  // namespace

std::string_view Dialer::commandOf(Step step) {
    switch (step) {
        case Step::Reset:
            return kModemReset;
        case Step::CarrierWait:
            return kModemCarrierWait;
        default:
            return kModemOptions;
    }
}

Dialer::Dialer(Clock& clock, const Paths& paths, RecordFile& callList,
               const ConnectionSettings& connection, SerialPort& port, AlarmLog& log,
               ErrorReporter& errors, StatusLine Label3)
    : m_clock(clock),
      m_paths(paths),
      m_callList(callList, kCallListFormat),
      m_connection(connection),
      m_port(port),
      m_log(log),
      m_errors(errors),
      m_label3(std::move(Label3)) {
    m_tmrHangUp = clock.createTimer("tmrHangUp", kHangUpMs, [this] { tmrHangUpTick(); });
    m_tmrDialNext = clock.createTimer("tmrDialNext", kDialNextMs, [this] { tmrDialNextTick(); });
    m_tmrModemWait = clock.createTimer("tmrModemWait", kPollIntervalMs, [this] { pollModem(); });
}

Dialer::~Dialer() {
    closePort();
}

void Dialer::SendPPage(std::int16_t PageCode) {
    m_waiting.push_back(PageCode);
    startWaitingSequences();
}

// Begins the waiting sequences in order until one has a call under way or none is left. A
// sequence can end while it begins (nothing due, no port); endSequence() then comes back here,
// and the guard leaves the work to this loop.
void Dialer::startWaitingSequences() {
    if (m_startingSequences) {
        return;
    }
    m_startingSequences = true;
    while (!m_sequenceRunning && !m_waiting.empty()) {
        m_pageCode = m_waiting.front();
        m_waiting.pop_front();
        m_callIndex = 1;
        m_sequenceRunning = true;
        dialNextDueEntry();
    }
    m_startingSequences = false;
}

// Callers return at once afterwards: the next sequence may have begun meanwhile.
void Dialer::endSequence() {
    m_sequenceRunning = false;
    startWaitingSequences();
}

void Dialer::closePort() {
    if (m_port.isOpen()) {
        m_port.close();
    }
}

// Looks at the entries from CallIndex on and dials the first one due now; the sequence ends
// when the list ends without one.
void Dialer::dialNextDueEntry() {
    const LocalDateTime now = m_clock.now();
    try {
        const std::int32_t last = m_callList.lastRecord();
        for (;; ++m_callIndex) {
            m_label3("");
            const ContactEntry entry = m_callList.read(m_callIndex);
            if (isDue(entry, now.weekday, now.secondsOfDay)) {
                if (isDialable(trimBlanks(entry.Contact))) {
                    DialOut(entry.Contact);
                    return;
                }
                m_errors.showError("Call-list entry " + std::to_string(m_callIndex) + " (" +
                                   printableText(trimBlanks(entry.Name)) +
                                   ") was not called: its number \"" +
                                   printableText(trimBlanks(entry.Contact)) +
                                   "\" holds characters a modem cannot dial. Correct it under "
                                   "Setup, My Call List.");
            }
            if (m_callIndex >= last) {
                break;
            }
        }
    } catch (const IoError& error) {
        m_errors.showError(error.what());
    }
    endSequence();
}

void Dialer::DialOut(const std::string& number) {
    try {
        const std::filesystem::path device = serialDevicePath(m_paths, m_connection.ComPort);
        m_port.open(device, serialBaudRate(m_connection.BaudRate));
    } catch (const SerialPortError& error) {
        // No call, so no hang-up timer: the sequence ends here.
        reportPortError(error);
        endSequence();
        return;
    }
    m_dialNumber = number;
    sendAndWait(Step::Reset);
}

void Dialer::sendAndWait(Step step) {
    m_modemReply.clear();
    try {
        m_port.write(commandOf(step));
    } catch (const SerialPortError& error) {
        reportPortError(error);
        abandonCall();
        endSequence();
        return;
    }
    m_waitStart = std::nearbyint(m_clock.steadySeconds());
    m_step = step;
    m_tmrModemWait->setEnabled(true);
}

void Dialer::pollModem() {
    if (m_step == Step::Idle) {
        m_tmrModemWait->setEnabled(false);
        return;
    }
    if (m_step == Step::HangUp) {
        // The sequence goes on at tmrDialNext's tick; a modem that still holds the escape back
        // hangs up on the drop of DTR (&D2).
        if (!m_port.isOpen() || m_clock.steadySeconds() - m_waitStart >= kHangUpSendSeconds) {
            abandonCall();
        }
        return;
    }
    // The Stop button closed the port: the call is off.
    if (!m_port.isOpen()) {
        endDialOut();
        endSequence();
        return;
    }
    std::string received;
    try {
        received = m_port.readAvailable();
    } catch (const SerialPortError& error) {
        reportPortError(error);
        abandonCall();
        endSequence();
        return;
    }
    // The options' reply is judged on the latest read alone.
    if (m_step == Step::Options) {
        m_modemReply = received;
    } else {
        m_modemReply += received;
    }
    // A modem that refuses a set-up command would refuse it for every entry: waiting out the
    // time or dialling anyway helps nobody, a clear message does.
    if (m_modemReply.find("ERROR") != std::string::npos) {
        reportModemError(m_step);
        abandonCall();
        endSequence();
        return;
    }
    const bool ok = m_modemReply.find("OK") != std::string::npos;
    const double limit = m_step == Step::Options ? kOptionsReplyLimitSeconds : kReplyLimitSeconds;
    if (!ok && std::abs(m_clock.steadySeconds() - m_waitStart) <= limit) {
        return;
    }
    switch (m_step) {
        case Step::Reset:
            if (!ok) {
                // Nothing answers: no modem, or one that does not understand this speed.
                m_errors.showError(kNoModemMessage);
                abandonCall();
                endSequence();
                return;
            }
            sendAndWait(Step::CarrierWait);
            return;
        case Step::CarrierWait:
            // A modem that ignores the setting can still dial.
            sendAndWait(Step::Options);
            return;
        case Step::Options:
            finishPreparation();
            return;
        case Step::Idle:
        case Step::HangUp:
            return;
    }
}

void Dialer::finishPreparation() {
    endDialOut();
    m_modemReply.clear();
    m_label3("Dialing " + m_dialNumber);
    m_log.WriteAlarmLog(dialLogText(m_dialNumber, m_pageCode));
    try {
        m_port.write(dialCommand(m_dialNumber, m_pageCode));
    } catch (const SerialPortError& error) {
        // A port left open would refuse every later call.
        reportPortError(error);
        abandonCall();
        endSequence();
        return;
    }
    m_tmrHangUp->setEnabled(true);
}

void Dialer::reportPortError(const SerialPortError& error) {
    m_errors.showError(std::to_string(error.number()) + " " + error.what());
}

void Dialer::reportModemError(Step step) {
    std::string_view command = commandOf(step);
    command.remove_suffix(1);  // the CR
    m_errors.showError(
        "The modem answered ERROR to " + std::string(command) + ": the call to " +
        trimBlanks(m_dialNumber) + " was not made and paging with code " +
        std::to_string(m_pageCode) + " stopped. Check that the modem on serial port " +
        std::to_string(m_connection.ComPort) + " is Hayes-compatible (Setup, My Connection).");
}

void Dialer::endDialOut() {
    m_step = Step::Idle;
    m_tmrModemWait->setEnabled(false);
}

void Dialer::abandonCall() {
    closePort();
    endDialOut();
}

void Dialer::tmrHangUpTick() {
    // A port the Stop button closed has hung up already; the sequence goes on all the same.
    if (m_port.isOpen()) {
        try {
            m_port.write(kModemHangUp);
            // Closing drops what is still queued, so the escape gets a moment on the line first;
            // the next poll after that closes the port.
            m_step = Step::HangUp;
            m_waitStart = m_clock.steadySeconds();
            m_tmrModemWait->setEnabled(true);
        } catch (const SerialPortError& error) {
            reportPortError(error);
            // Closing drops DTR, which hangs up under &D2 without the escape.
            m_port.close();
        }
    }
    m_tmrHangUp->setEnabled(false);
    m_tmrDialNext->setEnabled(true);
}

void Dialer::tmrDialNextTick() {
    m_tmrDialNext->setEnabled(false);
    ++m_callIndex;
    dialNextDueEntry();
}

}  // namespace dvx
