#pragma once

#include <algorithm>
#include <array>
#include <cstddef>

namespace dvx {

// The orders in which each user of DXParams.dat reads or writes its records, one record at a
// time. A failure part-way (a full disk, a pulled drive) leaves exactly the records before it
// done, so the order is part of what each step does; it is kept in these tables, which the
// code walks.
namespace parameter_orders {

template <std::size_t... N>
constexpr auto join(const std::array<int, N>&... parts) {
    std::array<int, (N + ...)> result{};
    std::size_t at = 0;
    ((std::copy(parts.begin(), parts.end(), result.begin() + static_cast<std::ptrdiff_t>(at)),
      at += N),
     ...);
    return result;
}

// For day 1..7 the records base+day, base+7+day, base+14+day: one weekday's three fields
// before the next weekday's.
constexpr std::array<int, 21> weekdayTriples(int base) {
    std::array<int, 21> result{};
    for (int day = 1; day <= 7; ++day) {
        for (int field = 0; field < 3; ++field) {
            result[static_cast<std::size_t>((day - 1) * 3 + field)] = base + 7 * field + day;
        }
    }
    return result;
}

// AltDayEnabled, AltStart, AltStop (records 8..28) by weekday.
inline constexpr auto kAlternateWeekdays = weekdayTriples(7);
// ProgramEvent slots 1..6.
inline constexpr std::array<int, 6> kEventSlots = {29, 30, 31, 32, 33, 34};
// TimedDayEnabled, TimedStart, TimedStop (records 50..70) by weekday.
inline constexpr auto kTimedWeekdays = weekdayTriples(49);

}  // namespace parameter_orders

// Start-up load: every record but 48 and 49.
inline constexpr auto kStartupLoadOrder = parameter_orders::join(
    std::array<int, 20>{1, 2, 3, 4, 35, 5, 6, 7, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47},
    parameter_orders::kAlternateWeekdays, parameter_orders::kEventSlots,
    parameter_orders::kTimedWeekdays, std::array<int, 2>{71, 72});

// Preferences window, on opening.
inline constexpr auto kPreferencesReadOrder = parameter_orders::join(
    std::array<int, 20>{1, 2, 4, 35, 5, 6, 7, 36, 37, 38, 3, 39, 40, 41, 42, 43, 44, 45, 46, 47},
    parameter_orders::kTimedWeekdays, std::array<int, 2>{71, 72});

// Preferences window, on closing: the same records as it reads, in another order.
inline constexpr auto kPreferencesWriteOrder = parameter_orders::join(
    std::array<int, 17>{1, 2, 3, 4, 35, 5, 6, 7, 36, 37, 38, 39, 40, 41, 42, 43, 44},
    parameter_orders::kTimedWeekdays, std::array<int, 5>{45, 46, 47, 71, 72});

// Program-lists window, on opening and on closing.
inline constexpr auto kProgramListOrder =
    parameter_orders::join(parameter_orders::kAlternateWeekdays, parameter_orders::kEventSlots);

// Reload after the program-lists window has closed.
inline constexpr auto kReloadOrder =
    parameter_orders::join(std::array<int, 7>{1, 2, 3, 7, 36, 37, 38}, kProgramListOrder);

static_assert(kStartupLoadOrder.size() == 70, "every record but 48 and 49");
static_assert(kPreferencesReadOrder.size() == kPreferencesWriteOrder.size());

}  // namespace dvx
