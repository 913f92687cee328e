#include "fill/rotation_eligibility.h"

#include "library/spot_dates.h"

namespace dvx {

EntryToday entryToday(const RotationName& name, const RotationEntry& entry, const SpotRecord& spot,
                      const LocalDateTime& today) {
    if (entry.SpotNumber < 1 || spot.Status == kSpotFree) {
        return EntryToday::Blocks;
    }
    if (name.CheckDates != 0 &&
        (name.CheckDates != 1 || !withinDates(spot.StartDate, spot.StopDate, dateOf(today)))) {
        return EntryToday::OutsideDates;
    }
    if (name.CheckDays != 0) {
        const int day = today.weekday - 1;  // 0 = Sunday
        if (name.CheckDays != 1 || day < 0 || day > 6 ||
            entry.Days[static_cast<std::size_t>(day)] != 1) {
            return EntryToday::OffToday;
        }
    }
    return EntryToday::Plays;
}

SpotRecord entrySpot(const SpotCatalogue& spots, const RotationEntry& entry) {
    return entry.SpotNumber >= 1 ? spots.read(entry.SpotNumber) : SpotRecord{};
}

}  // namespace dvx
