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

// The program on `root`, started in the background with its output going to `log`; it has
// taken the root once the lock file names it.
pid_t startProgram(const std::filesystem::path& root, const std::filesystem::path& log) {
    const std::string rootText = root.string();
    const char* argv[] = {DORVEXIA_PROGRAM, "-platform", "offscreen", "--data-root",
                          rootText.c_str(), "--audio",   "virtual",   nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    posix_spawn(&pid, argv[0], &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    for (int i = 0; i < 400 && lockHolder(root) != std::to_string(pid) + "\n"; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return pid;
}

TEST(DataRootLock, ASecondStartOfTheProgramOnTheSameRootEndsAndTouchesNothing) {
    test::TempFolder folder;
    const auto root = folder.path() / "root";
    runStartup(Paths(root));  // the data files exist, so the running program changes nothing

    const pid_t first = startProgram(root, folder.path() / "first.log");
    ASSERT_EQ(lockHolder(root), std::to_string(first) + "\n")
        << test::fileText(folder.path() / "first.log");
    const auto before = snapshot(root);
    const std::string second = std::string("timeout 30 ") + DORVEXIA_PROGRAM +
                               " -platform offscreen --audio virtual --data-root '" +
                               root.string() + "' >'" + (folder.path() / "second.log").string() +
                               "' 2>&1";
    const int status = std::system(second.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    const std::string said = test::fileText(folder.path() / "second.log");
    EXPECT_NE(said.find("dorvexia: Dorvexia is already running on " + root.string() + " (process " +
                        std::to_string(first) + ")\n"),
              std::string::npos)
        << said;
    EXPECT_EQ(snapshot(root), before);

    // A run that dies leaves the root free for the next.
    ::kill(first, SIGKILL);
    ::waitpid(first, nullptr, 0);
    const pid_t third = startProgram(root, folder.path() / "third.log");
    EXPECT_EQ(lockHolder(root), std::to_string(third) + "\n")
        << test::fileText(folder.path() / "third.log");
    ::kill(third, SIGKILL);
    ::waitpid(third, nullptr, 0);
}

}  // namespace
}  // namespace dvx
