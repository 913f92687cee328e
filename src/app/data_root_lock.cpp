#include "app/data_root_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <system_error>

#include "common/io_error.h"

namespace dvx {
namespace {

// The process id the file names, or nothing when it names none (a holder that has not yet
// written it, or a file from elsewhere).
std::string holderOf(int fd) {
    char text[32] = {};
    const ssize_t got = ::pread(fd, text, sizeof text - 1, 0);
    std::string pid;
    for (ssize_t i = 0; i < got && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        pid += text[i];
    }
    return pid;
}

}  // namespace

DataRootLock::~DataRootLock() {
    ::close(m_fd);  // lets the lock go
}

DataRootLocking lockDataRoot(const std::filesystem::path& root) {
    DataRootLocking result;
    const std::filesystem::path file = root / DataRootLock::kFileName;
    // An existing file is opened without creating or truncating it, so that a refused start
    // changes nothing.
    int fd = ::open(file.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        std::error_code error;
        std::filesystem::create_directories(root, error);
        if (error) {
            result.refusal =
                "Cannot create the data folder " + root.string() + ": " + error.message();
            return result;
        }
        fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    }
    if (fd < 0) {
        result.refusal = IoError("Cannot open the lock file", file, errno).what();
        return result;
    }
    int locked = 0;
    do {
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const int error = errno;
        if (error == EWOULDBLOCK) {
            const std::string pid = holderOf(fd);
            result.refusal = "Dorvexia is already running on " + root.string() +
                             (pid.empty() ? std::string() : " (process " + pid + ")");
        } else {
            result.refusal = IoError("Cannot lock", file, error).what();
        }
        ::close(fd);
        return result;
    }
    result.lock.reset(new DataRootLock(fd));

    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) != 0 ||
        ::pwrite(fd, pid.data(), pid.size(), 0) != static_cast<ssize_t>(pid.size())) {
        result.warning = IoError("Cannot note this run's process number in", file, errno).what() +
                         std::string("  A second start on this data root is still refused.");
    }
    return result;
}

}  // namespace dvx
