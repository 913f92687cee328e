#include "notify/contact_check.h"

#include <algorithm>
#include <cctype>

#include "notify/mail_message.h"
#include "notify/text_encoding.h"

namespace dvx {
namespace {

constexpr std::string_view kDialCharacters = "0123456789*#,WPT()-+ ";

std::string quoted(std::string_view text) {
    return "\"" + printableText(text) + "\"";
}

std::string notAnAddress(std::string_view address, const std::string& why) {
    return "The address " + quoted(address) + " is not an e-mail address: " + why +
           " Type it as name@domain, for example night.ops@station.example.";
}

}  // namespace

std::string addressProblem(std::string_view address) {
    if (address.empty()) {
        return "No e-mail address was typed.";
    }
    const std::size_t at = address.find('@');
    if (at == std::string_view::npos || address.find('@', at + 1) != std::string_view::npos) {
        return notAnAddress(address, "it must hold exactly one \"@\".");
    }
    if (at == 0) {
        return notAnAddress(address, "nothing stands before the \"@\".");
    }
    const std::string_view domain = address.substr(at + 1);
    if (domain.find('.') == std::string_view::npos || domain.front() == '.' ||
        domain.back() == '.') {
        return notAnAddress(address, "the domain after the \"@\" needs a dot inside it.");
    }
    if (!isUsableAddress(address)) {
        return notAnAddress(address,
                            "it holds a blank, a letter outside plain ASCII or one of "
                            "<>,;:\"()[]\\, which mail cannot carry.");
    }
    return {};
}

std::string numberProblem(std::string_view number) {
    const std::size_t bad = firstUndialable(number);
    if (bad != std::string_view::npos) {
        return "The number " + quoted(number) + " holds " + quoted(number.substr(bad, 1)) +
               ", which a modem does not dial. Use digits, * # , W P T ( ) - + and blanks.";
    }
    if (std::none_of(number.begin(), number.end(),
                     [](unsigned char c) { return std::isdigit(c) != 0; })) {
        return number.find_first_not_of(' ') == std::string_view::npos
                   ? "No telephone number was typed."
                   : "The number " + quoted(number) + " holds no digit.";
    }
    return {};
}

std::size_t firstUndialable(std::string_view number, std::string_view extra) {
    const auto bad = std::find_if(number.begin(), number.end(), [&](char c) {
        const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return kDialCharacters.find(upper) == std::string_view::npos &&
               extra.find(upper) == std::string_view::npos;
    });
    return bad == number.end() ? std::string_view::npos
                               : static_cast<std::size_t>(bad - number.begin());
}

}  // namespace dvx
