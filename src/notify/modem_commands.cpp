#include "notify/modem_commands.h"

#include "common/record_codec.h"
#include "notify/contact_check.h"

namespace dvx {

std::string dialCommand(std::string_view number, std::int16_t PageCode) {
    return "ATDT " + trimBlanks(number) + "@**" + std::to_string(PageCode) + "**\r";
}

std::string dialLogText(std::string_view DialNumber, std::int16_t PageCode) {
    return "**" + std::to_string(PageCode) + "**" + std::string(DialNumber);
}

bool isDialable(std::string_view number) {
    return firstUndialable(number, "ABCD@!") == std::string_view::npos;
}

}  // namespace dvx
