#include "fill/rotation_files.h"

#include "common/record_codec.h"

namespace dvx {

Bytes encodeRotationName(const RotationName& name) {
    RecordWriter writer;
    writer.int16(name.InUse)
        .int32(name.Length)
        .text(name.Name, 25)
        .int16(name.CheckDates)
        .int16(name.CheckDays);
    return writer.bytes();
}

RotationName decodeRotationName(std::span<const std::uint8_t> bytes) {
    RecordReader reader(bytes);
    RotationName name;
    name.InUse = reader.int16();
    name.Length = reader.int32();
    name.Name = reader.text(25);
    name.CheckDates = reader.int16();
    name.CheckDays = reader.int16();
    return name;
}

Bytes encodeRotationEntry(const RotationEntry& entry) {
    RecordWriter writer;
    writer.int16(entry.InUse).int16(entry.SpotNumber).int16(entry.Plays).int16(entry.Reserved);
    for (const std::int16_t day : entry.Days) {
        writer.int16(day);
    }
    return writer.bytes();
}

RotationEntry decodeRotationEntry(std::span<const std::uint8_t> bytes) {
    RecordReader reader(bytes);
    RotationEntry entry;
    entry.InUse = reader.int16();
    entry.SpotNumber = reader.int16();
    entry.Plays = reader.int16();
    entry.Reserved = reader.int16();
    for (std::int16_t& day : entry.Days) {
        day = reader.int16();
    }
    return entry;
}

std::filesystem::path RotationPath(const Paths& paths, int rotationNumber) {
    return paths.resolve(std::string(Paths::kDriveLetter) + ":\\Dorvex\\Spotfile\\RF" +
                         std::to_string(rotationNumber) + ".dat");
}

RotationName RotationNames::read(int record) const {
    return decodeRotationName(m_file.read(record));
}

void RotationNames::write(int record, const RotationName& name) {
    m_file.write(record, encodeRotationName(name));
}

bool RotationNames::exists(int rotationNumber) const {
    const int record = rotationNumber - kRotationBase;
    return record >= 1 && read(record).InUse == 1;
}

int RotationNames::firstFreeRecord() const {
    const std::int64_t count = recordCount();
    int record = 1;
    while (record <= count && read(record).InUse == 1) {
        ++record;
    }
    return record;
}

RotationEntryFile::RotationEntryFile(const Paths& paths, int rotationNumber, DiskSync* sync)
    : m_file(RotationPath(paths, rotationNumber), kRotationEntryRecordLength, sync) {}

}  // namespace dvx
