#include "notify/modem_commands.h"

#include <algorithm>
#include <cctype>

#include "common/record_codec.h"

namespace dvx {

std::string dialCommand(std::string_view number, std::int16_t PageCode) {
    return "ATDT " + trimBlanks(number) + "@**" + std::to_string(PageCode) + "**\r";
}

std::string dialLogText(std::string_view DialNumber, std::int16_t PageCode) {
    return "**" + std::to_string(PageCode) + "**" + std::string(DialNumber);
}

bool isDialable(std::string_view number) {
    constexpr std::string_view kAllowed = "0123456789ABCD*#,W@!PT ";
    return std::all_of(number.begin(), number.end(), [&](char c) {
        return kAllowed.find(static_cast<char>(std::toupper(static_cast<unsigned char>(c)))) !=
               std::string_view::npos;
    });
}

}  // namespace dvx
