#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/parameter_records.h"

namespace dvx {

// The program-lists window's share of the parameters file: the alternate program per weekday
// (index 1 = Sunday .. 7 = Saturday, index 0 unused) and the fill's event slots 1..6 (index 0
// unused). Reading fills every start and stop; for writing, an empty start or stop stands for
// a box left blank, whose record keeps what it held.
struct ProgramListRecords {
    std::array<std::int32_t, 8> AltDayEnabled{};            // records 8..14
    std::array<std::optional<std::int32_t>, 8> AltStart{};  // records 15..21
    std::array<std::optional<std::int32_t>, 8> AltStop{};   // records 22..28
    std::array<std::int32_t, 7> ProgramEvent{};             // records 29..34
};

// Opening the window: reads kProgramListOrder. Throws IoError.
ProgramListRecords readProgramListRecords(ParameterRecords& records);

// Closing the window: writes kProgramListOrder, skipping the empty starts and stops. The running
// sensor learns the new values from reloadParameters, which the caller runs next (after
// closing the window's file). Throws IoError.
void writeProgramListRecords(ParameterRecords& records, const ProgramListRecords& values);

// What an event slot's box shows for its stored value: above 10000 the one character of code
// value - 10000 (nothing when that code is beyond 8 bits), 1..9199 the number, anything else
// (0, 9200..10000, negative) an empty box.
std::string programEventText(std::int32_t stored);

// What a slot stores for the text typed into its box: the number when the text, compared
// character by character by character code, lies between "1" and "9200" (so 10, 800 and 9200
// store their numbers while 95, 9500, a blank box and a letter store 0). A text inside that
// range that is not a whole number that fits 32 bits ("1a", "5.5") stores 0 as well.
std::int32_t programEventValue(std::string_view typed);

}  // namespace dvx
