#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "common/paths.h"
#include "common/record_file.h"

namespace dvx {

// Rotations are numbered 9001..9200; name record k (RFNames.dat) describes rotation 9000 + k.
inline constexpr int kFirstRotation = 9001;
inline constexpr int kLastRotation = 9200;
inline constexpr int kRotationBase = 9000;
// A program's event number names a single spot up to here; the fill takes any other number
// below the rotations for music. A rotation's entries name spots of this range too.
inline constexpr int kLastSingleSpot = 800;

// One record of the rotation name file (RFNames.dat, 35 bytes, packed).
struct RotationName {
    std::int16_t InUse = 0;       // 1 = the rotation exists
    std::int32_t Length = 0;      // seconds typed by the user; shown only
    std::string Name;             // 25
    std::int16_t CheckDates = 0;  // 1 = an entry plays only within its spot's dates
    std::int16_t CheckDays = 0;   // 1 = an entry plays only on its ticked days
};

inline constexpr int kRotationNameRecordLength = 35;

Bytes encodeRotationName(const RotationName& name);
RotationName decodeRotationName(std::span<const std::uint8_t> bytes);

// One record of a rotation entry file (RF9005.dat, 22 bytes, all 16-bit).
struct RotationEntry {
    std::int16_t InUse = 0;  // 1 = live; anything else a free slot
    std::int16_t SpotNumber = 0;
    std::int16_t Plays = 0;
    std::int16_t Reserved = 0;
    std::array<std::int16_t, 7> Days{};  // index 0 = Sunday .. 6 = Saturday; 1 = may play
    bool operator==(const RotationEntry&) const = default;
};

inline constexpr int kRotationEntryRecordLength = 22;

Bytes encodeRotationEntry(const RotationEntry& entry);
RotationEntry decodeRotationEntry(std::span<const std::uint8_t> bytes);

// `RotationPath`: c:\Dorvex\Spotfile\RF9005.dat for rotation 9005.
std::filesystem::path RotationPath(const Paths& paths, int rotationNumber);

// The rotation name file on the file start-up keeps open. Main thread only; throws IoError.
class RotationNames {
  public:
    explicit RotationNames(RecordFile& file) : m_file(file) {}

    RotationName read(int record) const;
    void write(int record, const RotationName& name);
    std::int64_t recordCount() const { return m_file.recordCount(); }
    DiskSync* diskSync() const { return m_file.diskSync(); }
    // Whether rotation `rotationNumber` (9001..) exists: its name record is in use.
    bool exists(int rotationNumber) const;
    // The first name record not in use, or the first past the end of the file.
    int firstFreeRecord() const;

  private:
    RecordFile& m_file;
};

// A rotation's entry file, opened (created empty when missing) for as long as the object
// lives; writes are made durable through `sync` where given. Main thread only; throws IoError.
class RotationEntryFile {
  public:
    RotationEntryFile(const Paths& paths, int rotationNumber, DiskSync* sync = nullptr);

    RotationEntry read(int record) const { return decodeRotationEntry(m_file.read(record)); }
    void write(int record, const RotationEntry& entry) {
        m_file.write(record, encodeRotationEntry(entry));
    }
    std::int64_t recordCount() const { return m_file.recordCount(); }

  private:
    RecordFile m_file;
};

}  // namespace dvx
