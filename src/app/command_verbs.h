#pragma once

#include <atomic>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace dvx {

class SoundFiles;

// Where a verb writes and what stops it. `terminal`: stdout is a terminal, so a progress bar
// may be drawn on it. `interrupted` is set by a signal handler (SIGINT, SIGTERM): the verb then
// drops the file it works on, as if it had failed, and stops.
struct VerbIo {
    std::ostream& out;
    std::ostream& err;
    bool terminal = false;
    const std::atomic<bool>* interrupted = nullptr;
    bool stopRequested() const { return interrupted != nullptr && interrupted->load(); }
};

// The command line's verbs, which work on the sound library without a window or a display:
//   dorvexia [--data-root DIR] import --music|--spot [options] FILE...
//   dorvexia [--data-root DIR] normalize --spot N --percent P
// They may run while the monitor runs on the same data root: they do not take its lock on the
// data root; they take the catalogue's own lock around choosing a number and writing an entry.
//
// The verb the arguments name (arguments[0] is the program), after any --data-root; nothing
// when they name none and the program starts as usual.
std::optional<std::string> commandVerb(const std::vector<std::string>& arguments);

// Runs the verb and returns the exit status: 0 when everything asked for was done, 1 when
// something failed (each failure says why on `err`), 2 for arguments it cannot use.
int runCommandVerb(const std::vector<std::string>& arguments, SoundFiles& files, VerbIo io);

// What the verbs have in common, for the verbs themselves.
namespace verbs {

// The arguments after the verb, with the data root taken out of them wherever it stood.
struct VerbArguments {
    std::vector<std::string> options;
    std::string dataRoot;
};

// A whole number within bounds, or nothing.
std::optional<int> wholeNumber(const std::string& text, int lowest, int highest);

int importVerb(const VerbArguments& arguments, SoundFiles& files, VerbIo io);
int normalizeVerb(const VerbArguments& arguments, SoundFiles& files, VerbIo io);

// Makes the data folders when missing and returns the data root's paths; throws StartupError.
std::filesystem::path preparedDataRoot(const std::string& dataRoot);

}  // namespace verbs

// The text of `dorvexia import --help` and `dorvexia normalize --help`.
std::string importHelp();
std::string normalizeHelp();

}  // namespace dvx
