#pragma once

#include <vector>

#include "common/print_line.h"

class QPrinter;

namespace dvx {

// Paints the lines of a printout on `printer` in Courier New 12, each from its column, one
// line below the other, starting a new page when one is full, and ends the document. Returns
// false when the printer could not start the job. Main thread only.
bool paintPrintout(QPrinter& printer, const std::vector<PrintLine>& lines);

}  // namespace dvx
