#include "common/disk_sync.h"

#include <unistd.h>

#include <cerrno>

#include "common/io_error.h"

namespace dvx {

void syncWritten(int fd, const std::filesystem::path& path, DiskSync* sync) {
    if (sync != nullptr) {
        sync->syncLater(fd, path);
        return;
    }
    if (::fdatasync(fd) != 0) {
        throw IoError("Cannot flush", path, errno);
    }
}

}  // namespace dvx
