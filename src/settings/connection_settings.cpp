#include "settings/connection_settings.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "common/paths.h"
#include "common/text_file.h"

namespace dvx {
namespace {

// A number as the program has always printed it into this file: the sign's place holds a
// blank for a value of 0 or more, then the digits and one blank.
std::string numberField(std::int16_t value) {
    const std::string digits = std::to_string(value < 0 ? -static_cast<int>(value) : value);
    return (value < 0 ? "-" : " ") + digits + " ";
}

}  // namespace

ConnectionLoad loadConnectionSettings(const Paths& paths) {
    const auto path = paths.dataFile("Connection.dat");
    std::optional<std::string> text = readWholeFile(path);
    if (!text) {
        return {};
    }
    ListInputReader reader(std::move(*text));
    const std::optional<std::string> port = reader.next();
    const std::optional<std::string> rate = reader.next();
    const std::optional<std::string> dial = reader.next();
    if (!port || !rate || !dial) {
        return {{},
                "The connection settings in " + path.string() +
                    " end early; the modem settings are left empty. Set them again under "
                    "Setup, My Connection."};
    }
    const std::optional<short> comPort = parseListInteger16(*port);
    const std::optional<short> dialConnect = parseListInteger16(*dial);
    if (!comPort || !dialConnect) {
        const std::string& bad = comPort ? *dial : *port;
        return {{},
                "The connection settings in " + path.string() + " hold \"" + bad +
                    "\" where a number belongs; the modem settings are left empty. Set them "
                    "again under Setup, My Connection."};
    }
    return {{*comPort, *rate, *dialConnect}, std::nullopt};
}

void saveConnectionSettings(const Paths& paths, const ConnectionSettings& settings) {
    const bool digitsOnly = std::all_of(settings.BaudRate.begin(), settings.BaudRate.end(),
                                        [](unsigned char c) { return std::isdigit(c) != 0; });
    if (!digitsOnly) {
        throw std::invalid_argument("The baud rate \"" + settings.BaudRate +
                                    "\" cannot be saved: it must be decimal digits.");
    }
    writeTextLines(
        paths.dataFile("Connection.dat"),
        {numberField(settings.ComPort), settings.BaudRate, numberField(settings.DialConnect)});
}

}  // namespace dvx
