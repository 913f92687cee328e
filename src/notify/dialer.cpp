#include "notify/dialer.h"

#include <cmath>
#include <utility>

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
constexpr std::string_view kFailedLogPrefix = "Page failed--> ";

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
    m_waiting.push_back({PageCode, std::nullopt, {}});
    startWaitingSequences();
}

void Dialer::sendTestPage(const ContactEntry& entry, ContactTestDone done) {
    m_waiting.push_back({kTestPageCode, entry, std::move(done)});
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
        m_sequence = std::move(m_waiting.front());
        m_waiting.pop_front();
        m_callIndex = 1;
        m_sequenceRunning = true;
        if (m_sequence.testEntry) {
            dialTestEntry();
        } else {
            dialNextDueEntry();
        }
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
            if (isDue(entry, now.weekday, now.secondsOfDay) && dialIfDialable(entry)) {
                return;
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

// A test page calls its one entry; the sequence ends after that call.
void Dialer::dialTestEntry() {
    if (!dialIfDialable(*m_sequence.testEntry)) {
        endSequence();
    }
}

// Starts the call of the entry, or reports why its number cannot be dialled.
bool Dialer::dialIfDialable(const ContactEntry& entry) {
    m_dialName = entry.Name;
    if (isDialable(trimBlanks(entry.Contact))) {
        DialOut(entry.Contact);
        return true;
    }
    const std::string name = printableText(trimBlanks(entry.Name));
    callFailed((m_sequence.testEntry
                    ? name
                    : "Call-list entry " + std::to_string(m_callIndex) + " (" + name + ")") +
                   " was not called: its number \"" + printableText(trimBlanks(entry.Contact)) +
                   "\" holds characters a modem cannot dial. Correct it under Setup, My Call "
                   "List.",
               "the number holds characters a modem cannot dial");
    return false;
}

void Dialer::DialOut(const std::string& number) {
    try {
        const std::filesystem::path device = serialDevicePath(m_paths, m_connection.ComPort);
        m_port.open(device, serialBaudRate(m_connection.BaudRate));
    } catch (const SerialPortError& error) {
        // No call, so no hang-up timer: the sequence ends here.
        callFailedOnPort(error);
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
        callFailedOnPort(error);
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
        callFailed({}, "stopped before dialling");
        endDialOut();
        endSequence();
        return;
    }
    std::string received;
    try {
        received = m_port.readAvailable();
    } catch (const SerialPortError& error) {
        callFailedOnPort(error);
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
                callFailed(std::string(kNoModemMessage), "no answer from the modem to ATZ");
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
    try {
        m_port.write(dialCommand(m_dialNumber, m_sequence.PageCode));
    } catch (const SerialPortError& error) {
        // A port left open would refuse every later call.
        callFailedOnPort(error);
        abandonCall();
        endSequence();
        return;
    }
    if (ContactTestDone done = std::exchange(m_sequence.done, {})) {
        done({true, "The test page to " + printableText(trimBlanks(m_dialName)) +
                        " was dialled: " + printableText(trimBlanks(m_dialNumber)) + ", code " +
                        std::to_string(m_sequence.PageCode) +
                        ". The line is held for 25 seconds."});
    } else {
        ++m_delivered.sent;
        m_log.WriteAlarmLog(dialLogText(m_dialNumber, m_sequence.PageCode));
    }
    m_tmrHangUp->setEnabled(true);
}

void Dialer::reportPortError(const SerialPortError& error) {
    m_errors.showError(std::to_string(error.number()) + " " + error.what());
}

// A call that was not made: for a page, the message (if any: Stop needs none) goes to the
// error window and a "Page failed--> " line with the short reason to the alarm log; a test page
// gets the message.
void Dialer::callFailed(const std::string& message, const std::string& reason) {
    const std::string name = printableText(trimBlanks(m_dialName));
    if (ContactTestDone done = std::exchange(m_sequence.done, {})) {
        done({false,
              "The test page to " + name + " failed: " + (message.empty() ? reason : message)});
        return;
    }
    if (!message.empty()) {
        m_errors.showError(message);
    }
    ++m_delivered.failed;
    m_log.WriteAlarmLog(std::string(kFailedLogPrefix) + name + "  " + reason);
}

void Dialer::callFailedOnPort(const SerialPortError& error) {
    callFailed(std::to_string(error.number()) + " " + error.what(), error.what());
}

void Dialer::reportModemError(Step step) {
    std::string_view command = commandOf(step);
    command.remove_suffix(1);  // the CR
    callFailed(
        "The modem answered ERROR to " + std::string(command) + ": the call to " +
            trimBlanks(m_dialNumber) + " was not made and paging with code " +
            std::to_string(m_sequence.PageCode) + " stopped. Check that the modem on serial port " +
            std::to_string(m_connection.ComPort) + " is Hayes-compatible (Setup, My Connection).",
        "the modem answered ERROR to " + std::string(command));
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
    if (m_sequence.testEntry) {
        endSequence();  // a test calls one entry only
        return;
    }
    ++m_callIndex;
    dialNextDueEntry();
}

}  // namespace dvx
