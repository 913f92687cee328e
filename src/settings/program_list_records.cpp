#include "settings/program_list_records.h"

#include <charconv>
#include <stdexcept>

#include "settings/parameter_orders.h"

namespace dvx {
namespace {

enum class Block { DayEnabled, Start, Stop, Event };

struct Place {
    Block block;
    std::size_t index;  // weekday or slot
};

Place placeOf(int record) {
    const auto at = [record](int base) { return static_cast<std::size_t>(record - base); };
    if (record >= 8 && record <= 14) {
        return {Block::DayEnabled, at(7)};
    }
    if (record >= 15 && record <= 21) {
        return {Block::Start, at(14)};
    }
    if (record >= 22 && record <= 28) {
        return {Block::Stop, at(21)};
    }
    if (record >= 29 && record <= 34) {
        return {Block::Event, at(28)};
    }
    throw std::logic_error("Record " + std::to_string(record) +
                           " is not edited by the program-lists window");
}

}  // namespace

ProgramListRecords readProgramListRecords(ParameterRecords& records) {
    ProgramListRecords values;
    for (const int record : kProgramListOrder) {
        const std::int32_t value = records.read(record);
        const Place place = placeOf(record);
        switch (place.block) {
            case Block::DayEnabled:
                values.AltDayEnabled[place.index] = value;
                break;
            case Block::Start:
                values.AltStart[place.index] = value;
                break;
            case Block::Stop:
                values.AltStop[place.index] = value;
                break;
            case Block::Event:
                values.ProgramEvent[place.index] = value;
                break;
        }
    }
    return values;
}

void writeProgramListRecords(ParameterRecords& records, const ProgramListRecords& values) {
    for (const int record : kProgramListOrder) {
        const Place place = placeOf(record);
        std::optional<std::int32_t> value;
        switch (place.block) {
            case Block::DayEnabled:
                value = values.AltDayEnabled[place.index];
                break;
            case Block::Start:
                value = values.AltStart[place.index];
                break;
            case Block::Stop:
                value = values.AltStop[place.index];
                break;
            case Block::Event:
                value = values.ProgramEvent[place.index];
                break;
        }
        if (value) {
            records.write(record, *value);
        }
    }
}

std::string programEventText(std::int32_t stored) {
    constexpr std::int32_t kCharacterBase = 10000;
    if (stored > kCharacterBase) {
        const std::int32_t code = stored - kCharacterBase;
        return code <= 0xFF ? std::string(1, static_cast<char>(code)) : std::string{};
    }
    if (stored >= 1 && stored < 9200) {
        return std::to_string(stored);
    }
    return {};
}

std::int32_t programEventValue(std::string_view typed) {
    // std::string_view compares character by character, by unsigned character code.
    if (typed < std::string_view("1") || typed > std::string_view("9200")) {
        return 0;
    }
    std::int32_t number = 0;
    const auto [end, error] = std::from_chars(typed.data(), typed.data() + typed.size(), number);
    if (error != std::errc{} || end != typed.data() + typed.size()) {
        return 0;
    }
    return number;
}

}  // namespace dvx
