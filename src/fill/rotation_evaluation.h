#pragma once

#include <set>

#include "common/clock.h"
#include "common/paths.h"

namespace dvx {

class DiskSync;
class RotationNames;
class SpotCatalogue;

// The entry a rotation plays next: its record in the entry file and its spot; spot 0 when the
// rotation yields none.
struct RotationPick {
    int entryRecord = 0;
    int spot = 0;
};

// The choice of `EvaluateRotation` without counting it: nothing is written. Entries whose spot
// is in `passOver` (files that would not play) are not candidates.
RotationPick chooseRotationEntry(int rotationNumber, const LocalDateTime& today,
                                 const RotationNames& names, const SpotCatalogue& spots,
                                 const Paths& paths, const std::set<int>& passOver = {});

// Counts one play of the entry at `entryRecord` in the rotation's entry file, synced through
// `sync` (on the caller without one).
void countRotationPlay(int rotationNumber, int entryRecord, const Paths& paths,
                       DiskSync* sync = nullptr);

// `EvaluateRotation`: the spot that rotation `rotationNumber` (9001..9200) plays next on
// `today`, or 0 when it yields none. Among the live entries that may play today (within their
// spot's dates when the rotation checks dates, ticked for today's weekday when it checks days)
// the one with the fewest plays wins, ties to the lowest entry; its play count grows by one in
// the rotation's entry file. A live entry whose spot is not active ('0') or names no spot makes
// the whole rotation yield 0 until it is mended. The entry file is opened (created empty when
// missing) and closed again within the call. Main thread only; throws IoError.
int EvaluateRotation(int rotationNumber, const LocalDateTime& today, const RotationNames& names,
                     const SpotCatalogue& spots, const Paths& paths);

}  // namespace dvx
