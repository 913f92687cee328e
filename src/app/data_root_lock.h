#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace dvx {

struct DataRootLocking;

// One run per data root: two runs on one root would write the same files. The run holds an
// flock on <root>/dorvexia.lock from start to end; the kernel lets it go when the process ends
// however it ends, so a crash leaves nothing to clean up. The file holds the holder's process
// id for the message a second start shows. It is never removed: a start that removed it could
// leave a later start locking a new file while an earlier run still holds the old one.
class DataRootLock {
  public:
    static constexpr std::string_view kFileName = "dorvexia.lock";

    ~DataRootLock();
    DataRootLock(const DataRootLock&) = delete;
    DataRootLock& operator=(const DataRootLock&) = delete;

  private:
    friend DataRootLocking lockDataRoot(const std::filesystem::path& root);
    explicit DataRootLock(int fd) : m_fd(fd) {}

    int m_fd;
};

struct DataRootLocking {
    std::unique_ptr<DataRootLock> lock;  // empty when the root cannot be ours
    std::string refusal;                 // why not, for the user, when `lock` is empty
    std::string warning;                 // the lock holds, but something the user should know
};

// Takes the data root for this run, making the root and the lock file when missing. When
// another run holds it the refusal reads "Dorvexia is already running on <root> (process
// <pid>)", and nothing below the root has been changed.
DataRootLocking lockDataRoot(const std::filesystem::path& root);

}  // namespace dvx
