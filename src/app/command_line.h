#pragma once

#include <optional>
#include <string>
#include <vector>

namespace dvx {

// What the command line asks for. Normal use needs no argument.
struct CommandLine {
    std::string dataRoot;      // --data-root DIR (empty: environment, then XDG)
    std::string audio;         // --audio portaudio|virtual (empty: DORVEXIA_AUDIO, else portaudio)
    std::string virtualInput;  // --virtual-input FILE
    std::string virtualOutputDir;  // --virtual-output-dir DIR
    bool showHelp = false;         // --help
    bool showVersion = false;      // --version
};

struct CommandLineResult {
    std::optional<CommandLine> options;  // nothing when the arguments are wrong
    std::string error;                   // why, when they are
};

// Parses the program's own options; Qt's options have been taken out before.
CommandLineResult parseCommandLine(const std::vector<std::string>& arguments);

// The text of --help.
std::string commandLineHelp();

}  // namespace dvx
