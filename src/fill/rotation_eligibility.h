#pragma once

#include "common/clock.h"
#include "fill/rotation_files.h"
#include "library/spot_catalogue.h"

namespace dvx {

// How a live rotation entry stands on a given day.
enum class EntryToday {
    Plays,         // may be chosen today
    OutsideDates,  // the rotation checks dates and today is outside its spot's dates
    OffToday,      // the rotation checks days and the entry is not ticked for today
    Blocks,        // its spot is not active (or it names none): the whole rotation yields none
};

// The rule the evaluation chooses by, for the live entry `entry` of the rotation `name`, whose
// spot's catalogue record is `spot` (not read when the entry names no spot). A check flag other
// than 0 or 1 keeps every entry out.
EntryToday entryToday(const RotationName& name, const RotationEntry& entry, const SpotRecord& spot,
                      const LocalDateTime& today);

// The catalogue record of the entry's spot, or an empty one when it names no spot.
SpotRecord entrySpot(const SpotCatalogue& spots, const RotationEntry& entry);

}  // namespace dvx
