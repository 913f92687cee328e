#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/record_file.h"
#include "fill/list_lines.h"

namespace dvx {

class MusicCategories;

// One record of a program list (MusRotFileOne for the regular program, MusRotFileTwo for the
// alternate one; 6 bytes, three 16-bit fields).
struct ProgramListEntry {
    std::int16_t InUse = 0;     // 1 = live entry, 0 = free slot
    std::int16_t Category = 0;  // category record 1..52
    std::int16_t Plays = 0;     // times the fill has played this entry
    bool operator==(const ProgramListEntry&) const = default;
};

inline constexpr int kProgramListRecordLength = 6;
// The fill keeps every count below this; reaching it starts the list's counts over.
inline constexpr int kPlaysBeforeReset = 10;
inline constexpr std::string_view kNoCategorySelectedMessage = "No Category Selected";

Bytes encodeProgramListEntry(const ProgramListEntry& entry);
ProgramListEntry decodeProgramListEntry(std::span<const std::uint8_t> bytes);

// One program list on the file start-up keeps open. The live entries stand packed at records
// 1..n in list order; the edits below keep them so. Main thread only; every call reads or
// writes whole records and throws IoError.
class ProgramList {
  public:
    explicit ProgramList(RecordFile& file) : m_file(file) {}

    ProgramListEntry read(int record) const;
    void write(int record, const ProgramListEntry& entry);
    std::int64_t recordCount() const { return m_file.recordCount(); }

    // `LoadListOne` / `LoadListTwo`: the live entry to play next, the one with the fewest
    // plays, ties to the lowest record; nothing when the list has no live entry.
    std::optional<int> rankFirst() const;

    // `ResetTotals`: every live entry's plays to 0.
    void ResetTotals();
    // "Reset All Plays to 0": every record's plays to 0, free slots included.
    void resetAllPlays();

    // Counts one play of `record` for the fill: the count grows by one, and when it would
    // reach 10 the whole list starts over from 0 instead (so every count stays a single
    // digit).
    void countPlay(int record);

    // The window's display: each live entry in record order as its record number (a blank in
    // front below 10), the category name (12), its letter and the plays, blank-separated;
    // item data the record number.
    std::vector<ListLine> displayLines(const MusicCategories& categories) const;

    // Add: the category as a new entry in the first free record (or after the last);
    // returns that record.
    int add(int category);
    // Insert: a new entry at `record` (a live one), the entries from there on moving down one.
    void insertAt(int record, int category);
    // Delete: the entry at `record` goes, the later ones moving up; the last record is freed.
    void remove(int record);
    // The line to select after deleting the line at `position`: the same position while the
    // list still reaches it, else none.
    static std::optional<int> selectionAfterRemove(int position, int lineCount);

  private:
    int liveCount() const;

    RecordFile& m_file;
};

}  // namespace dvx
