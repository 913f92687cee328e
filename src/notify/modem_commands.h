#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dvx {

// What the dialer sends to the Hayes modem, byte for byte.
inline constexpr std::string_view kModemReset = "ATZ\r";
// Wait up to 60 seconds for a carrier.
inline constexpr std::string_view kModemCarrierWait = "ATS7=60\r";
// No auto-answer, result codes on, verbose words, extended result codes with busy and dial-tone
// detection, carrier detect follows the carrier, dropping DTR hangs up, speaker on until
// connected.
inline constexpr std::string_view kModemOptions = "ATS0=0Q0V1X4&C1&D2M1\r";
// Escape to command mode and hang up; sent without CR.
inline constexpr std::string_view kModemHangUp = "+++,H";

// Tone-dials the number, waits for quiet answer ("@") and sends the code between two pairs of
// stars as touch tones: "ATDT 5551234@**99**" + CR. `number` is used without surrounding blanks.
std::string dialCommand(std::string_view number, std::int16_t PageCode);

// The alarm-log line of a call: "**99**" followed by the number as stored, trailing blanks kept.
std::string dialLogText(std::string_view DialNumber, std::int16_t PageCode);

// Whether the number holds only what a dial string may: the dial characters the call list takes
// (see numberProblem) and, for entries written before it checked them, the tones A-D, "@" and
// "!". Anything else, a CR above all, would end or change the command.
bool isDialable(std::string_view number);

}  // namespace dvx
