#include "fill/rotation_evaluation.h"

#include <cstdint>

#include "fill/rotation_eligibility.h"
#include "fill/rotation_files.h"
#include "library/spot_catalogue.h"

namespace dvx {

RotationPick chooseRotationEntry(int rotationNumber, const LocalDateTime& today,
                                 const RotationNames& names, const SpotCatalogue& spots,
                                 const Paths& paths, const std::set<int>& passOver) {
    // Synced the way the name file is: in the background while the program runs.
    RotationEntryFile entries(paths, rotationNumber, names.diskSync());
    const RotationName name = names.read(rotationNumber - kRotationBase);
    if (name.InUse != 1) {
        return {};
    }
    RotationPick chosen;
    int fewestPlays = 0;
    const std::int64_t count = entries.recordCount();
    for (int record = 1; record <= count; ++record) {
        const RotationEntry entry = entries.read(record);
        if (entry.InUse != 1) {
            continue;
        }
        const EntryToday standing = entryToday(name, entry, entrySpot(spots, entry), today);
        if (standing == EntryToday::Blocks) {
            return {};
        }
        if (standing == EntryToday::Plays && !passOver.contains(entry.SpotNumber) &&
            (chosen.spot == 0 || entry.Plays < fewestPlays)) {
            chosen = {record, entry.SpotNumber};
            fewestPlays = entry.Plays;
        }
    }
    return chosen;
}

void countRotationPlay(int rotationNumber, int entryRecord, const Paths& paths, DiskSync* sync) {
    RotationEntryFile entries(paths, rotationNumber, sync);
    RotationEntry entry = entries.read(entryRecord);
    if (entry.Plays < INT16_MAX) {
        ++entry.Plays;
    }
    entries.write(entryRecord, entry);
}

int EvaluateRotation(int rotationNumber, const LocalDateTime& today, const RotationNames& names,
                     const SpotCatalogue& spots, const Paths& paths) {
    const RotationPick pick = chooseRotationEntry(rotationNumber, today, names, spots, paths);
    if (pick.spot != 0) {
        countRotationPlay(rotationNumber, pick.entryRecord, paths, names.diskSync());
    }
    return pick.spot;
}

}  // namespace dvx
