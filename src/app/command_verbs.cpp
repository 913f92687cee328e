#include "app/command_verbs.h"

#include <charconv>
#include <ostream>

#include "app/startup.h"
#include "common/paths.h"

namespace dvx {
namespace {

bool isVerb(const std::string& word) {
    return word == "import" || word == "normalize";
}

// Where the verb stands: after the program and any leading --data-root.
std::optional<std::size_t> verbPosition(const std::vector<std::string>& arguments) {
    std::size_t i = 1;
    while (i < arguments.size()) {
        if (arguments[i] == "--data-root") {
            i += 2;
        } else if (arguments[i].rfind("--data-root=", 0) == 0) {
            i += 1;
        } else {
            break;
        }
    }
    if (i < arguments.size() && isVerb(arguments[i])) {
        return i;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> commandVerb(const std::vector<std::string>& arguments) {
    if (const auto position = verbPosition(arguments)) {
        return arguments[*position];
    }
    return std::nullopt;
}

int runCommandVerb(const std::vector<std::string>& arguments, SoundFiles& files, VerbIo io) {
    const std::optional<std::size_t> position = verbPosition(arguments);
    if (!position) {
        io.err << "dorvexia: no verb to run\n";
        return 2;
    }
    verbs::VerbArguments verb;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (i == *position) {
            continue;
        }
        if (argument == "--data-root") {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                io.err << "dorvexia: --data-root needs a folder\n";
                return 2;
            }
            verb.dataRoot = arguments[++i];
        } else if (argument.rfind("--data-root=", 0) == 0) {
            verb.dataRoot = argument.substr(12);
        } else {
            verb.options.push_back(argument);
        }
    }
    if (arguments[*position] == "import") {
        return verbs::importVerb(verb, files, io);
    }
    return verbs::normalizeVerb(verb, files, io);
}

namespace verbs {

std::optional<int> wholeNumber(const std::string& text, int lowest, int highest) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || value < lowest || value > highest) {
        return std::nullopt;
    }
    return value;
}

std::filesystem::path preparedDataRoot(const std::string& dataRoot) {
    const std::filesystem::path root = chooseDataRoot(dataRoot);
    ensureFolders(Paths(root));
    return root;
}

}  // namespace verbs
}  // namespace dvx
