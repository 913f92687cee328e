#include "fill/fill_selection.h"

#include <cmath>

#include "common/io_error.h"
#include "common/record_codec.h"
#include "fill/music_categories.h"
#include "fill/rotation_evaluation.h"
#include "library/catalogue_text.h"
#include "sensor/sensor_state.h"
#include "settings/parameters.h"

namespace dvx {
namespace {

constexpr int kLastSingleSpot = 800;
// Event slots: the regular program's quarter-hour and top-of-hour breaks, and the alternate
// program's.
constexpr int kRegularQuarterSlot = 2;
constexpr int kRegularHourSlot = 3;
constexpr int kAlternateQuarterSlot = 5;
constexpr int kAlternateHourSlot = 6;

constexpr int minuteMark(int minutes) {
    return minutes * 60;
}

FillSelection::Result failed(std::string message) {
    return FillSelection::Result{std::nullopt, std::move(message)};
}

}  // namespace

FillSelection::FillSelection(const Clock& clock, SensorState& state, const Parameters& parameters,
                             FillFiles files, const Paths& paths)
    : m_clock(clock),
      m_state(state),
      m_parameters(parameters),
      m_paths(paths),
      m_spots(files.Spotfile, paths),
      m_music(files.Music, paths),
      m_listOne(files.MusRotFileOne),
      m_listTwo(files.MusRotFileTwo),
      m_history(files.MusHist),
      m_rotations(files.RFNames) {}

int FillSelection::breakSlot(double secondsOfDay) {
    // Minutes and seconds past the hour, "MM:SS" compared as text.
    const int t = static_cast<int>(std::floor(secondsOfDay)) % 3600;
    const auto within = [t](int from, int to) {
        return t >= minuteMark(from) && t <= minuteMark(to);
    };
    int slot = 0;
    if ((within(13, 18) || within(28, 33) || within(43, 48)) && !m_state.QuarterBreakTaken) {
        slot = m_state.AlternateActive ? kAlternateQuarterSlot : kRegularQuarterSlot;
        m_state.QuarterBreakTaken = true;
    }
    if ((t >= minuteMark(57) || t <= minuteMark(3)) && !m_state.HourBreakTaken) {
        slot = m_state.AlternateActive ? kAlternateHourSlot : kRegularHourSlot;
        m_state.HourBreakTaken = true;
    }
    return slot;
}

FillSelection::Result FillSelection::HotKeyLoad() {
    const LocalDateTime now = m_clock.now();
    const int slot = breakSlot(now.secondsOfDay);
    int value = slot == 0 ? 0 : m_parameters.ProgramEvent[static_cast<std::size_t>(slot)];
    try {
        if (value >= kFirstRotation && value <= kLastRotation) {
            if (!m_rotations.exists(value)) {
                return failed("Rotation File " + std::to_string(value) + " does not exist.");
            }
            value = EvaluateRotation(value, now, m_rotations, m_spots, m_paths);
            if (value == 0) {
                return failed("Illegal Rotation File. Check dates.");
            }
        }
        if (value >= 1 && value <= kLastSingleSpot) {
            return chooseSpot(value);
        }
        return chooseMusic(now);
    } catch (const IoError& error) {
        return failed(std::to_string(error.errorNumber()) + " " + error.what());
    } catch (const std::exception& error) {
        return failed(error.what());
    }
}

FillSelection::Result FillSelection::chooseSpot(int number) const {
    const SpotRecord spot = m_spots.read(number);
    FillItem item;
    item.FillLength = wholeSecondsValue(spot.EOM);
    item.LogText = shownText(spot.Name);
    item.FillPath = m_spots.wavePath(number);
    item.Label3 = item.LogText;
    return Result{item, {}};
}

FillSelection::Result FillSelection::chooseMusic(const LocalDateTime& now) {
    ProgramList& list = m_state.AlternateActive ? m_listTwo : m_listOne;
    const char* listName = m_state.AlternateActive ? "two (alternate)" : "one (regular)";
    const auto entryRecord = list.rankFirst();
    if (!entryRecord) {
        return failed(std::string("No music to play: program list ") + listName +
                      " has no entries.");
    }
    const ProgramListEntry entry = list.read(*entryRecord);
    m_currentCategory = entry.Category;
    m_currentLetter = CategoryLetter(entry.Category);
    list.countPlay(*entryRecord);
    if (m_currentLetter.empty()) {
        return failed(std::string("No music to play: entry ") + std::to_string(*entryRecord) +
                      " of program list " + listName + " names category " +
                      std::to_string(entry.Category) + ", which is not a category.");
    }
    const auto winner = leastRecentlyPlayed();
    if (!winner) {
        return failed("No music to play in category " + m_currentLetter +
                      ": no active music file of it is marked for the fill, other than the "
                      "title or artist just played.");
    }
    const MusicRecord music = m_music.read(*winner);
    FillItem item;
    item.LogText = shownText(music.Title);
    item.Label3 = item.LogText + " " + shownText(music.Artist);
    item.FillLength = wholeSecondsValue(music.EOM);
    item.FillPath = m_music.wavePath(*winner, music.Drive);
    m_history.markPlayed(*winner, now);
    m_previousTitle = music.Title;
    m_previousArtist = music.Artist;
    return Result{item, {}};
}

std::optional<int> FillSelection::leastRecentlyPlayed() const {
    const char letter = m_currentLetter.front();
    const std::string previousArtist = trimBlanks(m_previousArtist);
    std::optional<int> winner;
    std::string winnerStamp;
    const std::int64_t count = m_music.recordCount();
    for (int number = 1; number <= count; ++number) {
        const MusicRecord music = m_music.read(number);
        const std::string artist = trimBlanks(music.Artist);
        const bool candidate = music.Status == kMusicActive && music.Comp == kFillAllowed &&
                               music.Category.find(letter) != std::string::npos &&
                               music.Title != m_previousTitle &&
                               (artist != previousArtist || artist.empty());
        if (!candidate) {
            continue;
        }
        // Never played (zero bytes or blanks) sorts before every stamp; ties keep the lowest
        // record.
        const std::string stamp = m_history.stamp(number);
        if (!winner || stamp < winnerStamp) {
            winner = number;
            winnerStamp = stamp;
        }
    }
    return winner;
}

}  // namespace dvx
