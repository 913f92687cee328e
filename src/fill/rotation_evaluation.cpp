#include "fill/rotation_evaluation.h"

#include <cstdint>
#include <optional>

#include "fill/rotation_files.h"
#include "library/spot_catalogue.h"
#include "library/spot_dates.h"

namespace dvx {
namespace {

// Whether the entry may play today under the rotation's checks; a check flag other than 0 or
// 1 keeps every entry out.
bool eligible(const RotationName& name, const RotationEntry& entry, const SpotRecord& spot,
              const LocalDateTime& today) {
    if (name.CheckDates != 0 &&
        (name.CheckDates != 1 || !withinDates(spot.StartDate, spot.StopDate, dateOf(today)))) {
        return false;
    }
    if (name.CheckDays != 0) {
        const int day = today.weekday - 1;  // 0 = Sunday
        if (name.CheckDays != 1 || day < 0 || day > 6 ||
            entry.Days[static_cast<std::size_t>(day)] != 1) {
            return false;
        }
    }
    return true;
}

}  // namespace

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
        if (entry.SpotNumber < 1) {
            return {};
        }
        const SpotRecord spot = spots.read(entry.SpotNumber);
        if (spot.Status == kSpotFree) {
            return {};
        }
        if (eligible(name, entry, spot, today) && !passOver.contains(entry.SpotNumber) &&
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
