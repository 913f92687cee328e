#pragma once

#include <optional>
#include <string>
#include <vector>

namespace dvx {

// What the command line asks for. Normal use needs no argument.
struct CommandLine {
    std::string dataRoot;      // --data-root DIR (empty: environment, then XDG)
    std::string audio;         // --audio auto|portaudio|pulse|virtual (empty: DORVEXIA_AUDIO|auto)
    std::string virtualInput;  // --virtual-input FILE
    std::string virtualOutputDir;  // --virtual-output-dir DIR
    bool demo = false;             // --demo: a station of its own to try the program with
    std::string metricsAddress;    // --metrics-address HOST:PORT (empty: as the preferences say)
};

struct CommandLineResult {
    std::optional<CommandLine> options;  // nothing when the arguments are wrong
    std::string error;                   // why, when they are
};

// Parses the program's own options; Qt's options have been taken out before. --help, -h and
// --version are known here but answered before (answerWithoutDisplay).
CommandLineResult parseCommandLine(const std::vector<std::string>& arguments);

// The text of --version: "dorvexia 1.0.15" and a line end, the version the program was built
// with.
std::string versionLine();

// What --help (or -h) and --version print, whichever comes first among the arguments (the
// program's name first): nothing when neither is there. They need no display and no Qt, so
// they are answered before any is started.
std::optional<std::string> answerWithoutDisplay(const std::vector<std::string>& arguments);

// The text of --help.
std::string commandLineHelp();

}  // namespace dvx
