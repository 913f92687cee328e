#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/clock.h"
#include "common/paths.h"
#include "common/record_file.h"

namespace dvx {

class ErrorReporter;
class RecordLog;
struct Parameters;

// A rotation in use that holds a live entry of a spot; its name without blanks at the end.
struct RotationUse {
    int rotation = 0;
    std::string Name;
};

// A break of today's programs whose fill event slot plays a spot.
struct BreakUse {
    int slot = 0;      // ProgramEvent 2, 3 (regular program), 5, 6 (alternate program)
    int rotation = 0;  // the rotation the slot names; 0 when it names the spot itself
    bool operator==(const BreakUse&) const = default;
};

struct SpotUses {
    std::vector<RotationUse> rotations;  // in rotation order
    std::vector<BreakUse> breaks;        // in slot order
};

// What frmDialog1 asks before spot `number` is deleted: the caption ("Delete " + `Name` + "?")
// and, beyond "Are You Sure?", where the spot is used (no lines when nowhere).
struct SpotDeleteQuestion {
    int number = 0;
    std::string caption;
    std::vector<std::string> uses;
};

// The lines that tell `uses`: "Used in rotations: 9001 Morning IDs, 9003 Station ID" and
// "Today's breaks that play it: Regular Sweeper (rotation 9001), Alternate ID (the spot
// itself)", each only when it has something to tell.
std::vector<std::string> spotUsesText(const SpotUses& uses);

// Deleting a spot (frmDialog1's DELETE): its wave file, its entries in the rotations in use,
// its catalogue entry and a "Deleted" line in the record log.
//
// The steps run so that a failure loses nothing and can be mended by deleting again: the wave
// file goes first (a file that cannot be deleted stops the deletion before anything changes;
// a missing one is no error), then the spot's live entries leave every rotation whose name
// record is in use (the others are not opened, and an entry file that does not exist is not
// made), then the entry's `Status` becomes "0" and last the log line is written. Until the
// entry is freed the spot stays active, so rotations not yet reached still play. A failure is
// shown in the error window with how far the deletion came.
//
// Main thread only; everything given must outlive it.
class SpotDeletion {
  public:
    struct Parts {
        RecordFile& Spotfile;
        RecordFile& RFNames;
        const Paths& paths;
        const Parameters& parameters;  // the fill event slots and the alternate program's days
        const Clock& clock;
        RecordLog& log;
        ErrorReporter& errors;
    };

    explicit SpotDeletion(Parts parts) : m_parts(parts) {}

    // The question before deleting spot `number`; nothing, with the reason in the error
    // window, when it is not an active spot.
    std::optional<SpotDeleteQuestion> ask(int number) const;
    // The same for the number typed into a box (frmSpecificFile's `txtFileNumber`).
    std::optional<SpotDeleteQuestion> askTyped(std::string_view text) const;

    // The rotations in use that hold spot `number`, and the breaks of `today` that play it,
    // itself or through one of those rotations. Throws IoError.
    SpotUses uses(int number, const LocalDateTime& today) const;

    // `DeleteFile` for spot `number`. True when it is deleted.
    bool remove(int number);

  private:
    std::vector<int> rotationsInUse() const;

    Parts m_parts;
};

}  // namespace dvx
