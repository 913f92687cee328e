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

int EvaluateRotation(int rotationNumber, const LocalDateTime& today, const RotationNames& names,
                     const SpotCatalogue& spots, const Paths& paths) {
    // Synced the way the name file is: in the background while the program runs.
    RotationEntryFile entries(paths, rotationNumber, names.diskSync());
    const RotationName name = names.read(rotationNumber - kRotationBase);
    if (name.InUse != 1) {
        return 0;
    }
    std::optional<int> chosen;
    int fewestPlays = 0;
    const std::int64_t count = entries.recordCount();
    for (int record = 1; record <= count; ++record) {
        const RotationEntry entry = entries.read(record);
        if (entry.InUse != 1) {
            continue;
        }
        if (entry.SpotNumber < 1) {
            return 0;
        }
        const SpotRecord spot = spots.read(entry.SpotNumber);
        if (spot.Status == kSpotFree) {
            return 0;
        }
        if (eligible(name, entry, spot, today) && (!chosen || entry.Plays < fewestPlays)) {
            chosen = record;
            fewestPlays = entry.Plays;
        }
    }
    if (!chosen) {
        return 0;
    }
    RotationEntry entry = entries.read(*chosen);
    if (entry.Plays < INT16_MAX) {
        ++entry.Plays;
    }
    entries.write(*chosen, entry);
    return entry.SpotNumber;
}

}  // namespace dvx
