#pragma once

#include <filesystem>

namespace dvx {

// How written data reaches the disk. A write is in the file as soon as it returns (every reader
// sees it); making it durable (fdatasync) is the part that can wait seconds on a busy disk.
// Without a DiskSync a writer syncs before it returns; with one it hands the sync over.
//
// Threads: syncLater() is called on the thread that wrote.
class DiskSync {
  public:
    virtual ~DiskSync() = default;

    // Takes over making durable what has been written through `fd` to `path` so far. Keeps no
    // hold on `fd`: the caller may close it once the call returns. Throws IoError only when it
    // had to sync at once and that failed.
    virtual void syncLater(int fd, const std::filesystem::path& path) = 0;
};

// Makes what was written through `fd` durable: at once without `sync` (throws IoError "Cannot
// flush <path>: ..." when that fails), else through `sync`.
void syncWritten(int fd, const std::filesystem::path& path, DiskSync* sync);

}  // namespace dvx
