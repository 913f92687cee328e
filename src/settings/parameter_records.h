#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "common/record_file.h"

namespace dvx {

class DiskSync;
class Paths;

// DXParams.dat: 72 records of one signed 32-bit little-endian integer each, record n at byte
// 4 x (n - 1). Records 48 and 49 are never read or written.
inline constexpr int kParameterRecordLength = 4;
inline constexpr int kParameterRecordCount = 72;

// One record at a time of the parameters file. The read and write orders walk this interface,
// so a test can watch the order. Main thread only.
class ParameterRecords {
  public:
    virtual ~ParameterRecords() = default;
    virtual std::int32_t read(int record) = 0;
    virtual void write(int record, std::int32_t value) = 0;
};

// The parameters file on disk, open from construction to close() or destruction.
class ParameterFile final : public ParameterRecords {
  public:
    // Opens c:\Dorvex\DXParams.dat, creating it empty when missing; writes are made durable
    // through `sync` where given. Throws IoError.
    explicit ParameterFile(const Paths& paths, DiskSync* sync = nullptr);
    explicit ParameterFile(std::filesystem::path path, DiskSync* sync = nullptr);

    // A record past the end, or the missing bytes of a torn last record, read as 0.
    // Throws IoError.
    std::int32_t read(int record) override;
    // In the file when the call returns, and on disk as RecordFile says. Throws IoError.
    void write(int record, std::int32_t value) override;

    // Nothing when the file is whole records long; else a message for the error window saying
    // that the file is torn or foreign and how its last record was read.
    std::optional<std::string> lengthWarning() const;

    // True while the file holds no byte: nothing has ever been saved (a first start).
    // Throws IoError.
    bool isEmpty() const;

    void close() { m_file.close(); }

  private:
    std::uintmax_t size() const;

    RecordFile m_file;
};

}  // namespace dvx
