#pragma once

#include <string>
#include <string_view>

namespace dvx {

// The data files hold text in the 8-bit Windows code page 1252; windows and mail use UTF-8.
std::string windows1252ToUtf8(std::string_view text);
// Characters the code page lacks become "?"; malformed UTF-8 does too.
std::string utf8ToWindows1252(std::string_view text);

// A stored text for a message of the error window: control characters (a CR written into a
// record by another program) become "?", so they cannot break the message apart.
std::string printableText(std::string_view text);

}  // namespace dvx
