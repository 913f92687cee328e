#include "fill/program_list.h"

#include "common/record_codec.h"
#include "fill/music_categories.h"
#include "library/catalogue_text.h"

namespace dvx {

Bytes encodeProgramListEntry(const ProgramListEntry& entry) {
    RecordWriter writer;
    writer.int16(entry.InUse).int16(entry.Category).int16(entry.Plays);
    return writer.bytes();
}

ProgramListEntry decodeProgramListEntry(std::span<const std::uint8_t> bytes) {
    RecordReader reader(bytes);
    ProgramListEntry entry;
    entry.InUse = reader.int16();
    entry.Category = reader.int16();
    entry.Plays = reader.int16();
    return entry;
}

ProgramListEntry ProgramList::read(int record) const {
    return decodeProgramListEntry(m_file.read(record));
}

void ProgramList::write(int record, const ProgramListEntry& entry) {
    m_file.write(record, encodeProgramListEntry(entry));
}

std::optional<int> ProgramList::rankFirst() const {
    // Fewest plays first, then the lowest record. (Ranked by number: while the counts stay
    // single digits, as the fill keeps them, this is the order of the "plays record" texts.)
    std::optional<int> first;
    int fewest = 0;
    const std::int64_t count = recordCount();
    for (int record = 1; record <= count; ++record) {
        const ProgramListEntry entry = read(record);
        if (entry.InUse == 1 && (!first || entry.Plays < fewest)) {
            first = record;
            fewest = entry.Plays;
        }
    }
    return first;
}

void ProgramList::ResetTotals() {
    const std::int64_t count = recordCount();
    for (int record = 1; record <= count; ++record) {
        ProgramListEntry entry = read(record);
        if (entry.InUse == 1) {
            entry.Plays = 0;
            write(record, entry);
        }
    }
}

void ProgramList::resetAllPlays() {
    const std::int64_t count = recordCount();
    for (int record = 1; record <= count; ++record) {
        ProgramListEntry entry = read(record);
        entry.Plays = 0;
        write(record, entry);
    }
}

void ProgramList::countPlay(int record) {
    ProgramListEntry entry = read(record);
    const int plays = entry.Plays + 1;
    if (plays < kPlaysBeforeReset) {
        entry.Plays = static_cast<std::int16_t>(plays);
        write(record, entry);
    } else {
        ResetTotals();
    }
}

std::vector<ListLine> ProgramList::displayLines(const MusicCategories& categories) const {
    std::vector<ListLine> lines;
    const std::int64_t count = recordCount();
    for (int record = 1; record <= count; ++record) {
        const ProgramListEntry entry = read(record);
        if (entry.InUse != 1) {
            continue;
        }
        std::string name(kCategoryNameWidth, ' ');
        if (entry.Category >= 1) {
            name = shownText(categories.read(entry.Category).Name);
        }
        lines.push_back({(record < 10 ? " " : "") + std::to_string(record) + " " + name + " " +
                             CategoryLetter(entry.Category) + " " + std::to_string(entry.Plays),
                         record});
    }
    return lines;
}

int ProgramList::liveCount() const {
    int live = 0;
    const std::int64_t count = recordCount();
    for (int record = 1; record <= count; ++record) {
        live += read(record).InUse == 1 ? 1 : 0;
    }
    return live;
}

int ProgramList::add(int category) {
    const std::int64_t count = recordCount();
    int record = 1;
    while (record <= count && read(record).InUse != 0) {
        ++record;
    }
    write(record, ProgramListEntry{1, static_cast<std::int16_t>(category), 0});
    return record;
}

void ProgramList::insertAt(int record, int category) {
    const int lines = liveCount();
    for (int j = lines + 1; j > record; --j) {
        write(j, read(j - 1));
    }
    write(record, ProgramListEntry{1, static_cast<std::int16_t>(category), 0});
}

void ProgramList::remove(int record) {
    const int lines = liveCount();
    ProgramListEntry freed = read(record);
    freed.InUse = 0;
    write(record, freed);
    for (int j = record; j < lines; ++j) {
        write(j, read(j + 1));
    }
    if (lines >= 1) {
        ProgramListEntry last = read(lines);
        last.InUse = 0;
        write(lines, last);
    }
}

std::optional<int> ProgramList::selectionAfterRemove(int position, int lineCount) {
    return position >= 0 && position < lineCount ? std::optional<int>(position) : std::nullopt;
}

}  // namespace dvx
