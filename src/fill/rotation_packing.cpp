#include "fill/rotation_packing.h"

#include <vector>

namespace dvx {

int removeRotationEntries(RotationEntryFile& file, const RotationEntryFilter& remove) {
    const auto count = static_cast<int>(file.recordCount());
    std::vector<RotationEntry> held;
    std::vector<RotationEntry> kept;
    held.reserve(static_cast<std::size_t>(count));
    int removed = 0;
    for (int record = 1; record <= count; ++record) {
        const RotationEntry entry = file.read(record);
        held.push_back(entry);
        if (entry.InUse != 1) {
            continue;
        }
        if (remove(record, entry)) {
            ++removed;
        } else {
            kept.push_back(entry);
        }
    }
    if (removed == 0) {
        return 0;
    }
    // Only the records that change are written: an entry already in its place keeps its
    // bytes, and the file's length stays as it was.
    for (int record = 1; record <= count; ++record) {
        const auto index = static_cast<std::size_t>(record - 1);
        const RotationEntry wanted = index < kept.size() ? kept[index] : RotationEntry{};
        if (!(held[index] == wanted)) {
            file.write(record, wanted);
        }
    }
    return removed;
}

}  // namespace dvx
