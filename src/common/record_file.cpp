#include "common/record_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <utility>

#include "common/disk_sync.h"
#include "common/io_error.h"

namespace dvx {

RecordFile::RecordFile(std::filesystem::path path, int recordLength, DiskSync* sync)
    : m_path(std::move(path)), m_recordLength(recordLength), m_sync(sync) {
    if (recordLength <= 0) {
        throw std::invalid_argument("Record length must be positive");
    }
    m_fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (m_fd < 0) {
        throw IoError("Cannot open", m_path, errno);
    }
}

RecordFile::~RecordFile() {
    close();
}

RecordFile::RecordFile(RecordFile&& other) noexcept
    : m_path(std::move(other.m_path)),
      m_recordLength(other.m_recordLength),
      m_fd(std::exchange(other.m_fd, -1)),
      m_sync(other.m_sync) {}

RecordFile& RecordFile::operator=(RecordFile&& other) noexcept {
    if (this != &other) {
        close();
        m_path = std::move(other.m_path);
        m_recordLength = other.m_recordLength;
        m_fd = std::exchange(other.m_fd, -1);
        m_sync = other.m_sync;
    }
    return *this;
}

void RecordFile::close() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

Bytes RecordFile::read(std::int64_t recordNumber) const {
    if (recordNumber < 1) {
        throw IoError("Bad record number " + std::to_string(recordNumber) + " in " +
                      m_path.string());
    }
    if (m_fd < 0) {
        throw IoError("File is closed: " + m_path.string());
    }
    Bytes record(static_cast<std::size_t>(m_recordLength), 0);
    const off_t offset = static_cast<off_t>(recordNumber - 1) * m_recordLength;
    std::size_t done = 0;
    while (done < record.size()) {
        const ssize_t got =
            ::pread(m_fd, record.data() + done, record.size() - done, offset + done);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw IoError("Cannot read", m_path, errno);
        }
        if (got == 0) {
            break;  // past the end: the rest stays zero
        }
        done += static_cast<std::size_t>(got);
    }
    return record;
}

void RecordFile::write(std::int64_t recordNumber, std::span<const std::uint8_t> record) {
    if (recordNumber < 1 || record.size() > static_cast<std::size_t>(m_recordLength)) {
        throw IoError("Bad record " + std::to_string(recordNumber) + " for " + m_path.string());
    }
    if (m_fd < 0) {
        throw IoError("File is closed: " + m_path.string());
    }
    const off_t offset = static_cast<off_t>(recordNumber - 1) * m_recordLength;
    struct stat before {};
    const bool sized = ::fstat(m_fd, &before) == 0;
    std::size_t done = 0;
    while (done < record.size()) {
        const ssize_t put =
            ::pwrite(m_fd, record.data() + done, record.size() - done, offset + done);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int error = errno;
            // A full disk may take part of a record that lengthens the file: cut it off again
            // (unless someone else has written beyond it since), so that no half-written record
            // is ever read as one.
            const off_t reached = offset + static_cast<off_t>(done);
            struct stat now {};
            if (sized && reached > before.st_size && ::fstat(m_fd, &now) == 0 &&
                now.st_size == reached) {
                [[maybe_unused]] const int cut = ::ftruncate(m_fd, before.st_size);
            }
            throw IoError("Cannot write", m_path, error);
        }
        done += static_cast<std::size_t>(put);
    }
    syncWritten(m_fd, m_path, m_sync);
}

std::int64_t RecordFile::recordCount() const {
    struct stat info {};
    if (m_fd < 0 || ::fstat(m_fd, &info) != 0) {
        throw IoError("Cannot read the size of", m_path, errno);
    }
    return (static_cast<std::int64_t>(info.st_size) + m_recordLength - 1) / m_recordLength;
}

}  // namespace dvx

namespace dvx {

RecordFileLock::RecordFileLock(RecordFileLock&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)) {}

RecordFileLock::~RecordFileLock() {
    if (m_fd >= 0) {
        ::flock(m_fd, LOCK_UN);
    }
}

RecordFileLock RecordFile::lock(int waitMs) const {
    if (m_fd < 0) {
        throw IoError("File is closed: " + m_path.string());
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            throw IoError("Cannot lock", m_path, errno);
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            throw IoError(m_path.string() +
                          " is held by another program that is adding an "
                          "entry; try again in a moment.");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return RecordFileLock(m_fd);
}

}  // namespace dvx
