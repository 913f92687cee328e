#include "platform/command_restart.h"

#include <spawn.h>
#include <sys/wait.h>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

extern char** environ;

namespace dvx {
namespace {

constexpr const char* kCommandVariable = "DORVEXIA_REBOOT_COMMAND";

// Describes a finished command that did not succeed; empty when it did.
std::string describeEnd(const std::string& command, int status) {
    if (WIFEXITED(status)) {
        const int code = WEXITSTATUS(status);
        if (code == 0) {
            return "";
        }
        if (code == 126 || code == 127) {
            return "\"" + command + "\" could not be run (exit status " + std::to_string(code) +
                   ").";
        }
        return "\"" + command + "\" was refused (exit status " + std::to_string(code) + ").";
    }
    if (WIFSIGNALED(status)) {
        return "\"" + command + "\" was ended by signal " + std::to_string(WTERMSIG(status)) + ".";
    }
    return "";
}

// The child starts with default signal handling and nothing blocked, whatever the program
// has set up for itself (SIGTERM and SIGINT end the program cleanly).
class SpawnAttributes {
  public:
    SpawnAttributes() {
        posix_spawnattr_init(&m_attributes);
        sigset_t all;
        sigset_t none;
        sigfillset(&all);
        sigemptyset(&none);
        posix_spawnattr_setsigdefault(&m_attributes, &all);
        posix_spawnattr_setsigmask(&m_attributes, &none);
        posix_spawnattr_setflags(&m_attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    }
    ~SpawnAttributes() { posix_spawnattr_destroy(&m_attributes); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
    const posix_spawnattr_t* get() const { return &m_attributes; }

  private:
    posix_spawnattr_t m_attributes;
};

}  // namespace

CommandRestart::CommandRestart() {
    const char* command = std::getenv(kCommandVariable);
    if (command != nullptr && *command != '\0') {
        m_shellCommand = command;
        m_commandText = command;
    } else {
        m_commandText = "systemctl reboot";
    }
}

CommandRestart::~CommandRestart() {
    // A command still running is left to finish: it may be the restart itself.
    collectChild();
}

bool CommandRestart::requestRunning() {
    collectChild();
    return m_child > 0;
}

std::string CommandRestart::requestRestart() {
    collectChild();
    std::string failure = std::exchange(m_refusal, std::string());
    if (m_child > 0) {
        return failure;  // the system is still answering the last request
    }
    const std::string spawnFailure = spawn();
    return spawnFailure.empty() ? failure : spawnFailure;
}

std::string CommandRestart::spawn() {
    std::vector<std::string> arguments = m_shellCommand.empty()
                                             ? std::vector<std::string>{"systemctl", "reboot"}
                                             : std::vector<std::string>{"sh", "-c", m_shellCommand};
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    SpawnAttributes attributes;
    pid_t child = -1;
    const int error =
        m_shellCommand.empty()
            ? posix_spawnp(&child, "systemctl", nullptr, attributes.get(), argv.data(), environ)
            : posix_spawn(&child, "/bin/sh", nullptr, attributes.get(), argv.data(), environ);
    if (error != 0) {
        return "\"" + m_commandText + "\" could not be started: " + std::strerror(error) + ".";
    }
    m_child = child;
    return "";
}

void CommandRestart::collectChild() {
    if (m_child <= 0) {
        return;
    }
    int status = 0;
    pid_t result = 0;
    do {
        result = waitpid(m_child, &status, WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result == 0) {
        return;  // still running
    }
    m_child = -1;
    if (result > 0) {
        m_refusal = describeEnd(m_commandText, status);
    }  // else it was collected elsewhere and its answer is unknown
}

}  // namespace dvx
