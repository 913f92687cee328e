#include "app/data_root_lock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <thread>

#include "app/startup.h"
#include "support/temp_folder.h"

extern char** environ;

namespace dvx {
namespace {

std::string lockHolder(const std::filesystem::path& root) {
    std::error_code error;
    if (!std::filesystem::exists(root / DataRootLock::kFileName, error)) {
        return {};
    }
    return test::fileText(root / DataRootLock::kFileName);
}

TEST(DataRootLock, OneHolderAtATimeAndTheRefusalNamesIt) {
    test::TempFolder folder;
    const auto root = folder.path() / "fresh root";
    const std::string self = std::to_string(::getpid());
    {
        DataRootLocking first = lockDataRoot(root);
        ASSERT_NE(first.lock, nullptr) << first.refusal;
        EXPECT_EQ(first.warning, "");
        EXPECT_EQ(lockHolder(root), self + "\n");

        // A second lock, even from the same process, is refused and changes nothing.
        const auto before = std::filesystem::last_write_time(root / DataRootLock::kFileName);
        DataRootLocking second = lockDataRoot(root);
        EXPECT_EQ(second.lock, nullptr);
        EXPECT_EQ(second.refusal,
                  "Dorvexia is already running on " + root.string() + " (process " + self + ")");
        EXPECT_EQ(std::filesystem::last_write_time(root / DataRootLock::kFileName), before);
    }
    // Let go with its holder; a file left by a run that ended does not stand in the way.
    test::writeFile(root / DataRootLock::kFileName, "999999\n");
    DataRootLocking again = lockDataRoot(root);
    ASSERT_NE(again.lock, nullptr) << again.refusal;
    EXPECT_EQ(lockHolder(root), self + "\n");
}

// Every file and folder below `root` with its size and time of last change.
std::map<std::string, std::pair<std::uintmax_t, std::int64_t>> snapshot(
    const std::filesystem::path& root) {
    std::map<std::string, std::pair<std::uintmax_t, std::int64_t>> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        entries[entry.path().string()] = {entry.is_regular_file() ? entry.file_size() : 0,
                                          entry.last_write_time().time_since_epoch().count()};
    }
    return entries;
}

pid_t startProgram(const std::vector<std::string>& arguments, const std::filesystem::path& log) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return failed == 0 ? pid : -1;
}

// Waits for the process to end, for at most `seconds`; its exit status, or -1.
int waitForExit(pid_t pid, int seconds) {
    for (int i = 0; i < seconds * 20; ++i) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return -1;
}

TEST(DataRootLock, ASecondStartOfTheProgramOnTheSameRootEndsAndTouchesNothing) {
    test::TempFolder folder;
    const auto root = folder.path() / "root";
    runStartup(Paths(root));  // the data files exist, so the running program changes nothing
    const auto program = [&](const char* log) {
        return startProgram({DORVEXIA_PROGRAM, "-platform", "offscreen", "--data-root",
                             root.string(), "--audio", "virtual"},
                            folder.path() / log);
    };

    const pid_t first = program("first.log");
    ASSERT_GT(first, 0);
    const std::string firstPid = std::to_string(first) + "\n";
    for (int i = 0; i < 400 && lockHolder(root) != firstPid; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_EQ(lockHolder(root), firstPid) << test::fileText(folder.path() / "first.log");

    const auto before = snapshot(root);
    const pid_t second = program("second.log");
    ASSERT_GT(second, 0);
    EXPECT_EQ(waitForExit(second, 30), 1);
    const std::string said = test::fileText(folder.path() / "second.log");
    EXPECT_NE(said.find("dorvexia: Dorvexia is already running on " + root.string() + " (process " +
                        std::to_string(first) + ")\n"),
              std::string::npos)
        << said;
    EXPECT_EQ(snapshot(root), before);

    // A run that dies leaves the root free for the next.
    ::kill(first, SIGKILL);
    ::waitpid(first, nullptr, 0);
    const pid_t third = program("third.log");
    ASSERT_GT(third, 0);
    const std::string thirdPid = std::to_string(third) + "\n";
    for (int i = 0; i < 400 && lockHolder(root) != thirdPid; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(lockHolder(root), thirdPid) << test::fileText(folder.path() / "third.log");
    ::kill(third, SIGKILL);
    ::waitpid(third, nullptr, 0);
}

}  // namespace
}  // namespace dvx
