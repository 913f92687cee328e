#pragma once

#include <string>
#include <vector>

#include "common/clock.h"
#include "fill/list_lines.h"
#include "fill/rotation_files.h"
#include "library/spot_catalogue.h"

namespace dvx {

// How the rotation manager's two sorted lists show their lines: name first or number first.
enum class ListOrder { ByName, ByNumber };

// `LoadRotationFileNames`: every rotation in use, sorted as text; by name "Name" (25) + " " +
// number, by number the other way round. Item data = the name record.
std::vector<ListLine> rotationNameLines(const RotationNames& names, ListOrder order);

// `LoadSpotFiles`: every active spot, sorted as text; the number right-aligned in three
// characters; by name "Name" (25) + " " + number + " " + start date (8) + " " + stop date (8),
// by number the number first. Item data = the spot number.
std::vector<ListLine> rotationSpotLines(const SpotCatalogue& spots, ListOrder order);

// `LoadRotationFile`: every live entry in record order, as the spot number (3) + " " + the spot's
// name (25) + " " + plays (3), and whether it plays today. Item data = the entry's record.
struct RotationEntryLines {
    std::vector<ListLine> lines;
    // Whether the rotation plays anything today, and why not.
    std::string today;
};
RotationEntryLines rotationEntryLines(const RotationEntryFile& file, const RotationName& name,
                                      const SpotCatalogue& spots, const LocalDateTime& today);

}  // namespace dvx
