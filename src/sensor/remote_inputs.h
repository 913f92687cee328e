#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "common/clock.h"

namespace dvx {

class ErrorReporter;
class PortAccess;
class RecordFile;
struct Parameters;

// The four remote contact inputs of the remote-control hardware, polled on every clock tick.
// Each change of an input mails the input's text (records 2..5 of the message file, read
// fresh for every mail) when `EmailOnAlarm` is 1; its end adds " has ended". A port that
// cannot be read changes nothing: the inputs keep their last states. Main thread only.
class RemoteInputs {
  public:
    using MailSender = std::function<void(const std::string& subject, const std::string& text)>;

    RemoteInputs(const Clock& clock, const Parameters& parameters, PortAccess& ports,
                 const RecordFile& MessageFile, const std::string& Facility, MailSender SendEmail,
                 ErrorReporter& errors);

    void PollInputs();

    // The last input byte read, in the active-high form of inputs 1..4 on bits 6..3.
    std::int32_t InputBits = 0;
    // Index 1..4: the input is active as last reported; index 0 unused.
    std::array<bool, 5> InputActive{};

  private:
    bool readInputs();
    void report(int input, bool active);
    std::string messageText(int record) const;

    const Clock& m_clock;
    const Parameters& m_parameters;
    PortAccess& m_ports;
    const RecordFile& m_messageFile;
    const std::string& m_facility;
    MailSender m_sendEmail;
    ErrorReporter& m_errors;
};

}  // namespace dvx
