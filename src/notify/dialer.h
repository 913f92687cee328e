#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "common/clock.h"
#include "notify/contact_book.h"

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
// Nothing but the end of the list ends a sequence; a dial that finds no modem ends it with
// "Dialing Error...". Main thread only.
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
    // Returns at once; when no entry is due nothing happens.
    void SendPPage(std::int16_t PageCode);

    // The main window's Stop: closes the port when it is open, ending a call in progress. The
    // sequence goes on with the next entry.
    void closePort();

    std::int32_t CallIndex() const { return m_callIndex; }

    // The modem waits poll the port this often.
    static constexpr int kPollIntervalMs = 20;

  private:
    enum class Step { Idle, Reset, CarrierWait, Options, HangUp };

    bool dialNextDueEntry();
    void DialOut(const std::string& number);
    void sendAndWait(Step step);
    void pollModem();
    void finishPreparation();
    void tmrHangUpTick();
    void tmrDialNextTick();
    void endDialOut();
    void reportPortError(const SerialPortError& error);

    Clock& m_clock;
    const Paths& m_paths;
    ContactBook m_callList;
    const ConnectionSettings& m_connection;
    SerialPort& m_port;
    AlarmLog& m_log;
    ErrorReporter& m_errors;
    StatusLine m_label3;

    std::int16_t m_pageCode = 0;
    std::int32_t m_callIndex = 0;
    std::string m_dialNumber;  // `DialNumber`: the Number field as stored
    std::string m_modemReply;  // `ModemReply`
    double m_waitStart = 0;    // `WaitStart`: whole seconds of the steady clock
    Step m_step = Step::Idle;

    std::unique_ptr<Timer> m_tmrHangUp;
    std::unique_ptr<Timer> m_tmrDialNext;
    std::unique_ptr<Timer> m_tmrModemWait;
};

}  // namespace dvx
