#include "fill/rotation_editing.h"

#include "fill/rotation_packing.h"

namespace dvx {
namespace {

// Reads the live entry at `record`, lets `change` set it and writes it back.
template <typename Change>
void rewriteLiveEntry(RotationEntryFile& file, int record, Change&& change) {
    if (record < 1 || record > file.recordCount()) {
        return;
    }
    RotationEntry entry = file.read(record);
    if (entry.InUse != 1) {
        return;
    }
    change(entry);
    file.write(record, entry);
}

}  // namespace

int firstFreeEntry(const RotationEntryFile& file, int from) {
    const std::int64_t count = file.recordCount();
    int record = from;
    while (record <= count && file.read(record).InUse == 1) {
        ++record;
    }
    return record;
}

int addRotationEntry(RotationEntryFile& file, int spot, bool clearDays) {
    const int record = firstFreeEntry(file);
    RotationEntry entry = clearDays ? RotationEntry{} : file.read(record);
    entry.InUse = 1;
    entry.SpotNumber = static_cast<std::int16_t>(spot);
    entry.Plays = 0;
    file.write(record, entry);
    return record;
}

void insertRotationEntry(RotationEntryFile& file, int record, int spot) {
    if (record < 1 || record > file.recordCount() || file.read(record).InUse != 1) {
        return;
    }
    for (int to = firstFreeEntry(file, record); to > record; --to) {
        file.write(to, file.read(to - 1));
    }
    replaceRotationSpot(file, record, spot, true);
}

void replaceRotationSpot(RotationEntryFile& file, int record, int spot, bool resetPlays) {
    rewriteLiveEntry(file, record, [&](RotationEntry& entry) {
        entry.SpotNumber = static_cast<std::int16_t>(spot);
        if (resetPlays) {
            entry.Plays = 0;
        }
    });
}

void setRotationEntryDay(RotationEntryFile& file, int record, int day, bool ticked) {
    if (day < 0 || day > 6) {
        return;
    }
    rewriteLiveEntry(file, record, [&](RotationEntry& entry) {
        entry.Days[static_cast<std::size_t>(day)] = ticked ? 1 : 0;
    });
}

void resetRotationPlays(RotationEntryFile& file) {
    const auto count = static_cast<int>(file.recordCount());
    for (int record = 1; record <= count; ++record) {
        rewriteLiveEntry(file, record, [](RotationEntry& entry) { entry.Plays = 0; });
    }
}

void removeRotationEntry(RotationEntryFile& file, int record) {
    removeRotationEntries(file, [record](int at, const RotationEntry&) { return at == record; });
}

}  // namespace dvx
