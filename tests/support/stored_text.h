#pragma once

#include <string>

namespace dvx::test {

// A stored text field: the text cut or padded with blanks to its width.
inline std::string padded(const std::string& text, std::size_t width) {
    std::string result = text;
    result.resize(width, ' ');
    return result;
}

}  // namespace dvx::test
