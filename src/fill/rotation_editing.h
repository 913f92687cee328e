#pragma once

#include "fill/rotation_files.h"

namespace dvx {

// The edits of a rotation's entry file that its manager window makes. Each reads a record from
// the file right before writing it, never from an older copy: the fill counts plays in the same
// file while the window holds it open, and a play counted in between must stay. Entries stay
// packed from record 1; a moved entry keeps its days, plays and reserved field. An edit of a
// record that holds no live entry (any more) changes nothing. Main thread only; throws IoError.

// Where a new entry goes: the first record at or after `from` whose entry is not live, or the
// record after the last.
int firstFreeEntry(const RotationEntryFile& file, int from = 1);

// "Add": the spot as a live entry in the first free record, with no plays. Its days and reserved
// field stay as that record held them, or are cleared when `clearDays` (an entry added by
// double-click). Returns the record.
int addRotationEntry(RotationEntryFile& file, int spot, bool clearDays);

// "Insert" before the live entry at `record`: it and the entries behind it (up to the next free
// record) move one record down, and `record` becomes a live entry of the spot with no plays,
// keeping the days and reserved field of the entry that stood there.
void insertRotationEntry(RotationEntryFile& file, int record, int spot);

// "Replace": the entry at `record` plays `spot`; its plays start again from 0 when
// `resetPlays`. Its days stay.
void replaceRotationSpot(RotationEntryFile& file, int record, int spot, bool resetPlays);

// A weekday box of the entry at `record` (0 = Sunday .. 6 = Saturday).
void setRotationEntryDay(RotationEntryFile& file, int record, int day, bool ticked);

// "Reset Plays to 0" in every live entry.
void resetRotationPlays(RotationEntryFile& file);

// "Cut" and "Delete": the entries behind `record` move up one place.
void removeRotationEntry(RotationEntryFile& file, int record);

}  // namespace dvx
