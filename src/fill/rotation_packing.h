#pragma once

#include <functional>

#include "fill/rotation_files.h"

namespace dvx {

// Picks the live entries to remove: the entry's record number (from 1) and its contents.
using RotationEntryFilter = std::function<bool(int record, const RotationEntry& entry)>;

// Removes from `file` every live entry (`InUse` 1) that `remove` picks. The live entries that
// stay move up to records 1, 2, ... in their order, each with its days, plays and reserved field;
// every record behind them is cleared to zeros, so no freed slot keeps an old spot number.
// Records that do not change are not written, the file never grows, and a file with nothing to
// remove is left byte-identical. Free slots between live entries are packed away too, once
// something is removed. Returns how many entries went. Main thread only; throws IoError.
int removeRotationEntries(RotationEntryFile& file, const RotationEntryFilter& remove);

}  // namespace dvx
