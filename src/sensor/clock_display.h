#pragma once

#include <string>

#include "common/clock.h"

namespace dvx {

// The main window's clock text: weekday name, two blanks, "mm/dd/yyyy", two blanks, 24-hour
// "HH:MM:SS" ("Monday  12/05/2005  08:00:00").
std::string formatClockDisplay(const LocalDateTime& time);

// English weekday name for 1 = Sunday ... 7 = Saturday.
const char* weekdayName(int weekday);

}  // namespace dvx
