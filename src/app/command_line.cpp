#include "app/command_line.h"

namespace dvx {

CommandLineResult parseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine options;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string name = argument;
        std::optional<std::string> value;
        if (const auto equals = argument.find('=');
            argument.rfind("--", 0) == 0 && equals != std::string::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
        }
        auto takeValue = [&](std::string& target) -> bool {
            if (!value) {
                if (i + 1 >= arguments.size()) {
                    return false;
                }
                value = arguments[++i];
            }
            target = *value;
            return !target.empty();
        };
        if (name == "--help" || name == "-h" || name == "--version") {
            continue;  // answered before the arguments reach here
        }
        if (name == "--data-root") {
            if (!takeValue(options.dataRoot)) {
                return {std::nullopt, "--data-root needs a folder"};
            }
        } else if (name == "--audio") {
            if (!takeValue(options.audio) ||
                (options.audio != "auto" && options.audio != "portaudio" &&
                 options.audio != "pulse" && options.audio != "virtual")) {
                return {std::nullopt, "--audio takes auto, portaudio, pulse or virtual"};
            }
        } else if (name == "--virtual-input") {
            if (!takeValue(options.virtualInput)) {
                return {std::nullopt, "--virtual-input needs a sound file"};
            }
        } else if (name == "--virtual-output-dir") {
            if (!takeValue(options.virtualOutputDir)) {
                return {std::nullopt, "--virtual-output-dir needs a folder"};
            }
        } else if (argument == "--demo") {
            options.demo = true;
        } else if (name == "--metrics-address") {
            if (!takeValue(options.metricsAddress)) {
                return {std::nullopt, "--metrics-address needs HOST:PORT or PORT"};
            }
        } else {
            return {std::nullopt, "Unknown option: " + argument};
        }
    }
    if (options.demo && !options.virtualInput.empty()) {
        return {std::nullopt, "--demo makes its own feed: leave out --virtual-input"};
    }
    return {options, {}};
}

std::string versionLine() {
    return "dorvexia " + std::to_string(DORVEXIA_VERSION_MAJOR) + "." +
           std::to_string(DORVEXIA_VERSION_MINOR) + "." + std::to_string(DORVEXIA_VERSION_PATCH) +
           "\n";
}

std::optional<std::string> answerWithoutDisplay(const std::vector<std::string>& arguments) {
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == "--help" || arguments[i] == "-h") {
            return commandLineHelp();
        }
        if (arguments[i] == "--version") {
            return versionLine();
        }
    }
    return std::nullopt;
}

std::string commandLineHelp() {
    return "Usage: dorvexia [options]\n"
           "       dorvexia [--data-root DIR] import --music|--spot [options] FILE...\n"
           "       dorvexia [--data-root DIR] normalize --spot N --percent P\n"
           "\n"
           "Guards the station's programme feed against dead air. Normal use needs no option.\n"
           "The verbs import sound files into the library and normalise a spot without a\n"
           "window, also while the monitor runs; \"dorvexia import --help\" tells more.\n"
           "\n"
           "  --demo                   try the program on a station of its own: a small library,\n"
           "                           a feed that falls silent for 30 s in every 90 s, sound on\n"
           "                           the default output; kept in a temporary folder, or in\n"
           "                           the empty folder DIR of --data-root\n"
           "  --data-root DIR          keep the data below DIR (default: $DORVEXIA_ROOT, else\n"
           "                           $XDG_DATA_HOME/dorvexia, else ~/.local/share/dorvexia)\n"
           "  --audio auto|portaudio|pulse|virtual\n"
           "                           sound devices: the machine's own, straight through the\n"
           "                           PulseAudio (or PipeWire) sound server where one runs, else\n"
           "                           through PortAudio (auto, the default, or $DORVEXIA_AUDIO);\n"
           "                           or virtual ones for tests and demonstrations\n"
           "  --virtual-input FILE     the virtual input plays this sound file as its feed\n"
           "  --virtual-output-dir DIR each virtual output writes what it plays to DIR/out<n>.wav\n"
           "  --metrics-address HOST:PORT\n"
           "                           serve metrics for Prometheus at http://HOST:PORT/metrics\n"
           "                           (PORT alone: 127.0.0.1 only)\n"
           "  --help                   show this text\n"
           "  --version                show the version\n"
           "\n"
           "Qt's own options (for example -platform offscreen) work as usual.\n";
}

}  // namespace dvx
