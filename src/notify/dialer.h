#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/clock.h"
#include "notify/contact_book.h"
#include "notify/contact_test.h"
#include "notify/delivery_counts.h"

namespace dvx {

class AlarmLog;
class ErrorReporter;
class Paths;
class SerialPort;
class SerialPortError;
struct ConnectionSettings;

// Pages the call list through the modem: every entry due at the moment the sequence reaches it
// is called once, in record order. Each call opens the port, resets and sets up the modem
// (waiting for its "OK" each time), logs the call, dials the number with the code as touch
// tones and keeps the line for 25 s (`tmrHangUp`); 5 s after hanging up (`tmrDialNext`) the next
// due entry is called. The waits for "OK" run as timer steps, so the program goes on meanwhile.
// A sequence ends at the end of the list, or early when the modem cannot be used: no answer to
// "ATZ" ("Dialing Error..."), ERROR to a set-up command, or a port that cannot be opened.
// Sequences never overlap: a page asked for while one runs waits its turn, each with its own
// code, and the pages waiting run in order however the one before them ended. The alarm log
// gets "**<code>**" and the number as stored once the number is dialled, or "Page failed--> ",
// the name, two blanks and the reason for a call that was not made. Main thread only.
class Dialer {
  public:
    // Shows its text in the main window's `Label3`: "Dialing " and the number during a call.
    using StatusLine = std::function<void(const std::string&)>;

    Dialer(Clock& clock, const Paths& paths, RecordFile& callList,
           const ConnectionSettings& connection, SerialPort& port, AlarmLog& log,
           ErrorReporter& errors, StatusLine Label3);
    ~Dialer();
    Dialer(const Dialer&) = delete;
    Dialer& operator=(const Dialer&) = delete;

    // Starts a sequence: 99 at alarm begin, 98 at the end of the fill, 11 for the weekly test.
    // While another sequence runs, this one waits for it to end. Returns at once; a sequence
    // that finds no entry due ends at once.
    void SendPPage(std::int16_t PageCode);

    // "Send test" of the call list: one call to the entry, whatever its schedule, with the code
    // of the weekly test, in turn with the pages asked for. `done` tells whether the number was
    // dialled; nothing goes to the alarm log.
    void sendTestPage(const ContactEntry& entry, ContactTestDone done);

    // The main window's Stop: closes the port when it is open. A call in progress ends and the
    // sequence goes on with the next entry; a call still being prepared is not made and its
    // sequence ends (the next waiting one begins).
    void closePort();

    std::int32_t CallIndex() const { return m_callIndex; }
    const DeliveryCounts& delivered() const { return m_delivered; }

    // The modem waits poll the port this often.
    static constexpr int kPollIntervalMs = 20;
    static constexpr std::int16_t kTestPageCode = 11;

  private:
    enum class Step { Idle, Reset, CarrierWait, Options, HangUp };

    // A sequence asked for: the pages of an event, or the test page of one entry.
    struct Sequence {
        std::int16_t PageCode = 0;
        std::optional<ContactEntry> testEntry;
        ContactTestDone done;
    };

    void startWaitingSequences();
    void endSequence();
    void dialNextDueEntry();
    void dialTestEntry();
    bool dialIfDialable(const ContactEntry& entry);
    void DialOut(const std::string& number);
    void sendAndWait(Step step);
    void pollModem();
    void finishPreparation();
    void tmrHangUpTick();
    void tmrDialNextTick();
    void endDialOut();
    void abandonCall();
    void reportPortError(const SerialPortError& error);
    void callFailed(const std::string& message, const std::string& reason);
    void callFailedOnPort(const SerialPortError& error);
    void reportModemError(Step step);
    static std::string_view commandOf(Step step);

    Clock& m_clock;
    const Paths& m_paths;
    ContactBook m_callList;
    const ConnectionSettings& m_connection;
    SerialPort& m_port;
    AlarmLog& m_log;
    ErrorReporter& m_errors;
    StatusLine m_label3;

    std::deque<Sequence> m_waiting;  // the sequences not yet begun, in order
    bool m_sequenceRunning = false;
    bool m_startingSequences = false;  // startWaitingSequences() is on the stack
    Sequence m_sequence;               // the running one; its PageCode is `PageCode`
    std::int32_t m_callIndex = 0;
    DeliveryCounts m_delivered;
    std::string m_dialName;    // the Name field of the entry called, as stored
    std::string m_dialNumber;  // `DialNumber`: the Number field as stored
    std::string m_modemReply;  // `ModemReply`
    double m_waitStart = 0;    // `WaitStart`: whole seconds of the steady clock
    Step m_step = Step::Idle;

    std::unique_ptr<Timer> m_tmrHangUp;
    std::unique_ptr<Timer> m_tmrDialNext;
    std::unique_ptr<Timer> m_tmrModemWait;
};

}  // namespace dvx
