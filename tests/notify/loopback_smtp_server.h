#pragma once

// The loopback SMTP server of the mail tests (smtp_test_server.py on Debian's python3-aiosmtpd),
// run as a child process. DORVEXIA_SMTP_TEST_SERVER names the script.
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_folder.h"

extern char** environ;

namespace dvx::test {

// A certificate and its key, in PEM files.
struct CertificateFiles {
    std::filesystem::path cert, key;
};

// The test server of smtp_test_server.py, started for one test and stopped after it; with a
// certificate it offers STARTTLS and takes nothing before it.
class LoopbackSmtpServer {
  public:
    LoopbackSmtpServer(const std::filesystem::path& folder, const std::string& user,
                       const std::string& password, const CertificateFiles* tls = nullptr)
        : m_folder(folder) {
        std::filesystem::create_directories(folder);
        int out[2];
        if (::pipe(out) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        ::posix_spawn_file_actions_addclose(&actions, out[0]);
        const std::string script = DORVEXIA_SMTP_TEST_SERVER;
        const std::string folderText = folder.string();
        const std::string cert = tls != nullptr ? tls->cert.string() : "";
        const std::string key = tls != nullptr ? tls->key.string() : "";
        std::vector<const char*> argv = {"/usr/bin/python3", script.c_str(), folderText.c_str(),
                                         user.c_str(), password.c_str()};
        if (tls != nullptr) {
            argv.insert(argv.end(), {cert.c_str(), key.c_str()});
        }
        argv.push_back(nullptr);
        ::posix_spawn(&m_pid, argv[0], &actions, nullptr, const_cast<char**>(argv.data()), environ);
        ::posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        std::string line;
        pollfd ready{out[0], POLLIN, 0};
        char c = 0;
        while (::poll(&ready, 1, 10000) > 0 && ::read(out[0], &c, 1) == 1 && c != '\n') {
            line += c;
        }
        ::close(out[0]);
        if (line.rfind("READY ", 0) == 0) {
            port = std::stoi(line.substr(6));
        }
    }
    ~LoopbackSmtpServer() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }

    std::vector<std::string> messages() const {
        std::vector<std::string> texts;
        for (int n = 1; std::filesystem::exists(file(n)); ++n) {
            texts.push_back(fileText(file(n)));
        }
        return texts;
    }

    // "tls alarm" or "plain alarm" for each login the server was offered.
    std::string logins() const {
        const auto path = m_folder / "logins.txt";
        return std::filesystem::exists(path) ? fileText(path) : "";
    }

    int port = 0;

  private:
    std::filesystem::path file(int n) const {
        return m_folder / ("message" + std::to_string(n) + ".txt");
    }
    std::filesystem::path m_folder;
    pid_t m_pid = -1;
};

}  // namespace dvx::test
