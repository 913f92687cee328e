#include "library/spot_deletion.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

#include "common/record_codec.h"
#include "fill/rotation_files.h"
#include "fill/rotation_packing.h"
#include "library/catalogue_text.h"
#include "library/record_log.h"
#include "library/spot_catalogue.h"
#include "settings/parameters.h"
#include "viewers/error_reporter.h"

namespace dvx {
namespace {

// The break slots of the programming window, by the labels it gives them.
struct BreakSlot {
    int slot;
    bool alternate;
    const char* label;
};
constexpr std::array<BreakSlot, 4> kBreakSlots = {{
    {2, false, "Regular Sweeper"},
    {3, false, "Regular ID"},
    {5, true, "Alternate Sweeper"},
    {6, true, "Alternate ID"},
}};

const char* breakLabel(int slot) {
    const auto found = std::find_if(kBreakSlots.begin(), kBreakSlots.end(),
                                    [slot](const BreakSlot& known) { return known.slot == slot; });
    return found == kBreakSlots.end() ? "Break" : found->label;
}

std::string spotName(int number) {
    return "Spot " + std::to_string(number);
}

std::string notActiveMessage(int number) {
    return spotName(number) + " is not an active spot: there is nothing to delete.";
}

// An entry file that is not there holds no entries; one that cannot even be looked at counts
// as there, so that opening it says what is wrong.
bool entryFileMissing(const std::filesystem::path& path) {
    std::error_code error;
    return !std::filesystem::exists(path, error) && !error;
}

bool holdsSpot(const RotationEntryFile& file, int number) {
    for (int record = 1; record <= file.recordCount(); ++record) {
        const RotationEntry entry = file.read(record);
        if (entry.InUse == 1 && entry.SpotNumber == number) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<std::string> spotUsesText(const SpotUses& uses) {
    std::vector<std::string> lines;
    if (!uses.rotations.empty()) {
        std::string line = "Used in rotations: ";
        for (std::size_t i = 0; i < uses.rotations.size(); ++i) {
            const RotationUse& use = uses.rotations[i];
            line += (i == 0 ? "" : ", ") + std::to_string(use.rotation) +
                    (use.Name.empty() ? "" : " " + use.Name);
        }
        lines.push_back(line);
    }
    if (!uses.breaks.empty()) {
        std::string line = "Today's breaks that play it: ";
        for (std::size_t i = 0; i < uses.breaks.size(); ++i) {
            const BreakUse& use = uses.breaks[i];
            line += (i == 0 ? "" : ", ") + std::string(breakLabel(use.slot)) +
                    (use.rotation == 0 ? " (the spot itself)"
                                       : " (rotation " + std::to_string(use.rotation) + ")");
        }
        lines.push_back(line);
    }
    return lines;
}

std::optional<SpotDeleteQuestion> SpotDeletion::askTyped(std::string_view text) const {
    const int number = typedNumber(text);
    if (number < 1 || number > kMaxSpotNumber) {
        m_parts.errors.showError("Type the number of an active spot (1 to 900) to delete it.");
        return std::nullopt;
    }
    return ask(number);
}

std::optional<SpotDeleteQuestion> SpotDeletion::ask(int number) const {
    SpotDeleteQuestion question;
    question.number = number;
    try {
        const SpotRecord record = SpotCatalogue(m_parts.Spotfile, m_parts.paths).read(number);
        if (number < 1 || number > kMaxSpotNumber || record.Status != kSpotActive) {
            m_parts.errors.showError(notActiveMessage(number));
            return std::nullopt;
        }
        question.caption = "Delete " + trimTrailingBlanks(shownText(record.Name)) + "?";
    } catch (const std::exception& error) {
        m_parts.errors.showError(error.what());
        return std::nullopt;
    }
    try {
        question.uses = spotUsesText(uses(number, m_parts.clock.now()));
    } catch (const std::exception& error) {
        question.uses = {std::string("Where the spot is used could not be read: ") + error.what()};
    }
    return question;
}

std::vector<int> SpotDeletion::rotationsInUse() const {
    const RotationNames names(m_parts.RFNames);
    std::vector<int> rotations;
    const auto count = static_cast<int>(names.recordCount());
    for (int record = 1; record <= count; ++record) {
        if (names.read(record).InUse == 1) {
            rotations.push_back(kRotationBase + record);
        }
    }
    return rotations;
}

SpotUses SpotDeletion::uses(int number, const LocalDateTime& today) const {
    const RotationNames names(m_parts.RFNames);
    SpotUses uses;
    for (const int rotation : rotationsInUse()) {
        if (entryFileMissing(RotationPath(m_parts.paths, rotation))) {
            continue;
        }
        if (holdsSpot(RotationEntryFile(m_parts.paths, rotation), number)) {
            uses.rotations.push_back({rotation, trimTrailingBlanks(shownText(
                                                    names.read(rotation - kRotationBase).Name))});
        }
    }
    const bool alternateToday =
        today.weekday >= 1 && today.weekday <= 7 &&
        m_parts.parameters.AltDayEnabled[static_cast<std::size_t>(today.weekday)] == 1;
    for (const BreakSlot& slot : kBreakSlots) {
        if (slot.alternate && !alternateToday) {
            continue;
        }
        const int value = m_parts.parameters.ProgramEvent[static_cast<std::size_t>(slot.slot)];
        const bool throughRotation =
            std::any_of(uses.rotations.begin(), uses.rotations.end(),
                        [value](const RotationUse& use) { return use.rotation == value; });
        if (value == number || throughRotation) {
            uses.breaks.push_back({slot.slot, value == number ? 0 : value});
        }
    }
    return uses;
}

bool SpotDeletion::remove(int number) {
    ErrorReporter& errors = m_parts.errors;
    SpotCatalogue spots(m_parts.Spotfile, m_parts.paths);
    std::vector<int> rotations;
    try {
        if (spots.read(number).Status != kSpotActive) {
            errors.showError(notActiveMessage(number));
            return false;
        }
        rotations = rotationsInUse();
    } catch (const std::exception& error) {
        errors.showError(spotName(number) + " was not deleted: " + error.what());
        return false;
    }

    const std::filesystem::path wave = spots.wavePath(number);
    std::error_code error;
    std::filesystem::remove(wave, error);
    if (error) {
        errors.showError(spotName(number) + " was not deleted: its wave file " + wave.string() +
                         " could not be deleted (" + error.message() + "). Nothing was changed.");
        return false;
    }

    for (const int rotation : rotations) {
        try {
            if (entryFileMissing(RotationPath(m_parts.paths, rotation))) {
                continue;
            }
            RotationEntryFile file(m_parts.paths, rotation, m_parts.RFNames.diskSync());
            removeRotationEntries(file, [number](int, const RotationEntry& entry) {
                return entry.SpotNumber == number;
            });
        } catch (const std::exception& failure) {
            errors.showError("Deleting " + spotName(number) + " stopped at rotation " +
                             std::to_string(rotation) + ": " + failure.what() +
                             ". Its wave file is deleted; the spot stays listed and the "
                             "rotations after this one still hold it: delete it again to finish.");
            return false;
        }
    }

    std::string Name;
    try {
        const RecordFileLock lock = spots.lock();
        Name = spots.read(number).Name;  // as it is now: an edit may have renamed it
        spots.writeStatus(number, kSpotFree);
    } catch (const std::exception& failure) {
        errors.showError("Deleting " + spotName(number) +
                         " stopped before its entry was freed: " + failure.what() +
                         ". Its wave file and its rotation entries are deleted; delete it again "
                         "to finish.");
        return false;
    }
    m_parts.log.write(recordLogDeletedText(Name, number));
    return true;
}

}  // namespace dvx
