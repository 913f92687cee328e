#pragma once

#include <string>

namespace dvx {

// A line of a printout and the column (0-based) where it starts.
struct PrintLine {
    int column = 0;
    std::string text;
    bool operator==(const PrintLine&) const = default;
};

}  // namespace dvx
