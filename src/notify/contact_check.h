#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace dvx {

// The checks of what is typed into the call list and the address book, before Apply writes it.
// Each gives the message for the error window, or an empty text when the entry is fine.

// An e-mail address: exactly one "@", something before it, a domain after it that holds a dot
// neither first nor last, and nothing the mail envelope cannot carry (see isUsableAddress).
std::string addressProblem(std::string_view address);

// A telephone number: at least one digit, and otherwise only the dial characters
// 0-9 * # , W P T ( ) - + and blanks (W, P and T in either case).
std::string numberProblem(std::string_view number);

// The position of the first character of `number` that is neither a dial character (above) nor
// one of `extra` (upper case; letters match either case); npos when there is none.
std::size_t firstUndialable(std::string_view number, std::string_view extra = {});

}  // namespace dvx
