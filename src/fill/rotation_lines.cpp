#include "fill/rotation_lines.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "fill/rotation_eligibility.h"
#include "library/catalogue_text.h"

namespace dvx {
namespace {

std::string rightAligned(int number) {
    char text[16];
    std::snprintf(text, sizeof text, "%3d", number);
    return text;
}

// A stored field at its full width, as shown.
std::string field(const std::string& stored, std::size_t width) {
    std::string text = shownText(stored);
    text.resize(width, ' ');
    return text;
}

// Two texts in the order the list shows them, one blank between.
std::string ordered(const std::string& name, const std::string& number, ListOrder order) {
    return order == ListOrder::ByName ? name + " " + number : number + " " + name;
}

const char* mark(EntryToday standing) {
    switch (standing) {
        case EntryToday::Plays:
            return "  plays today";
        case EntryToday::OutsideDates:
            return "  not today: dates";
        case EntryToday::OffToday:
            return "  not today: day";
        case EntryToday::Blocks:
            break;
    }
    return "  NOT ACTIVE: stops all";
}

}  // namespace

std::vector<ListLine> rotationNameLines(const RotationNames& names, ListOrder order) {
    std::vector<ListLine> lines;
    const auto count = static_cast<int>(
        std::min<std::int64_t>(names.recordCount(), kLastRotation - kRotationBase));
    for (int record = 1; record <= count; ++record) {
        const RotationName name = names.read(record);
        if (name.InUse == 1) {
            lines.push_back(
                {ordered(field(name.Name, 25), std::to_string(kRotationBase + record), order),
                 record});
        }
    }
    sortListLines(lines);
    return lines;
}

std::vector<ListLine> rotationSpotLines(const SpotCatalogue& spots, ListOrder order) {
    std::vector<ListLine> lines;
    const std::int64_t count = spots.recordCount();
    for (int number = 1; number <= count; ++number) {
        const SpotRecord spot = spots.read(number);
        if (spot.Status == kSpotActive) {
            lines.push_back({ordered(field(spot.Name, 25), rightAligned(number), order) + " " +
                                 field(spot.StartDate, 8) + " " + field(spot.StopDate, 8),
                             number});
        }
    }
    sortListLines(lines);
    return lines;
}

RotationEntryLines rotationEntryLines(const RotationEntryFile& file, const RotationName& name,
                                      const SpotCatalogue& spots, const LocalDateTime& today) {
    RotationEntryLines result;
    int playing = 0;
    std::optional<int> blocking;
    const std::int64_t count = file.recordCount();
    for (int record = 1; record <= count; ++record) {
        const RotationEntry entry = file.read(record);
        if (entry.InUse != 1) {
            continue;
        }
        const SpotRecord spot = entrySpot(spots, entry);
        const EntryToday standing = entryToday(name, entry, spot, today);
        playing += standing == EntryToday::Plays ? 1 : 0;
        if (standing == EntryToday::Blocks && !blocking) {
            blocking = entry.SpotNumber;
        }
        result.lines.push_back({rightAligned(entry.SpotNumber) + " " + field(spot.Name, 25) + " " +
                                    rightAligned(entry.Plays) + mark(standing),
                                record});
    }
    const std::string skipped = "the fill skips this rotation's breaks";
    if (blocking) {
        result.today = "Plays nothing today: spot " + std::to_string(*blocking) +
                       " is not active, so " + skipped;
    } else if (playing == 0) {
        result.today = "Plays nothing today: " + skipped;
    } else {
        result.today = "Plays today: " + std::to_string(playing) + " of " +
                       std::to_string(result.lines.size()) + " entries";
    }
    return result;
}

}  // namespace dvx
