#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace dvx {

class DiskSync;

using Bytes = std::vector<std::uint8_t>;

// An exclusive advisory lock (flock) on an open record file, held until it is destroyed. Every
// program that chooses a number in a catalogue and writes its entry, in this process or in
// another (the import on the command line beside a running monitor), takes it around that work,
// so two of them never take the same number. It guards nothing against writers that do not take
// it; reading needs no lock.
class RecordFileLock {
  public:
    RecordFileLock(RecordFileLock&& other) noexcept;
    RecordFileLock& operator=(RecordFileLock&&) = delete;
    RecordFileLock(const RecordFileLock&) = delete;
    ~RecordFileLock();

  private:
    friend class RecordFile;
    explicit RecordFileLock(int fd) : m_fd(fd) {}
    int m_fd;
};

// A random-access file of fixed-length records without a header. Record n (from 1) lies at
// (n - 1) x length; a record never written, or past the end, reads as zero bytes. A write is in
// the file when the call returns; it is on disk then too, or, with a DiskSync, once that has
// synced it. Main thread only.
class RecordFile {
  public:
    // Opens the file for reading and writing, creating it empty when missing. Writes are made
    // durable through `sync` where given (it must outlive the file). Throws IoError.
    RecordFile(std::filesystem::path path, int recordLength, DiskSync* sync = nullptr);
    ~RecordFile();
    RecordFile(RecordFile&& other) noexcept;
    RecordFile& operator=(RecordFile&& other) noexcept;
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    int recordLength() const { return m_recordLength; }
    const std::filesystem::path& path() const { return m_path; }
    bool isOpen() const { return m_fd >= 0; }
    DiskSync* diskSync() const { return m_sync; }

    // Always returns recordLength() bytes. Throws IoError.
    Bytes read(std::int64_t recordNumber) const;

    // Writes the bytes at the record's start; a shorter record leaves the rest of its slot as
    // it was, a longer one is refused. Synced as the class comment says. Throws IoError.
    void write(std::int64_t recordNumber, std::span<const std::uint8_t> record);

    // Number of records the file holds, counting a partly written last slot.
    std::int64_t recordCount() const;

    // Waits for the file's advisory lock (up to `waitMs`, then throws IoError saying another
    // program holds it). Short work only: whoever waits may be the main thread.
    static constexpr int kLockWaitMs = 10000;
    RecordFileLock lock(int waitMs = kLockWaitMs) const;

    void close();

  private:
    std::filesystem::path m_path;
    int m_recordLength = 0;
    int m_fd = -1;
    DiskSync* m_sync = nullptr;
};

}  // namespace dvx
