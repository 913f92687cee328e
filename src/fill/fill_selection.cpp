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
    FillSelection::Result result;
    result.failure = std::move(message);
    return result;
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

int FillSelection::dueBreakSlot(double secondsOfDay) const {
    // Minutes and seconds past the hour, "MM:SS" compared as text.
    const int t = static_cast<int>(std::floor(secondsOfDay)) % 3600;
    const auto within = [t](int from, int to) {
        return t >= minuteMark(from) && t <= minuteMark(to);
    };
    int slot = 0;
    if ((within(13, 18) || within(28, 33) || within(43, 48)) && !m_state.QuarterBreakTaken) {
        slot = m_state.AlternateActive ? kAlternateQuarterSlot : kRegularQuarterSlot;
    }
    if ((t >= minuteMark(57) || t <= minuteMark(3)) && !m_state.HourBreakTaken) {
        slot = m_state.AlternateActive ? kAlternateHourSlot : kRegularHourSlot;
    }
    return slot;
}

void FillSelection::takeBreak(int slot) {
    if (slot == kRegularQuarterSlot || slot == kAlternateQuarterSlot) {
        m_state.QuarterBreakTaken = true;
    } else if (slot == kRegularHourSlot || slot == kAlternateHourSlot) {
        m_state.HourBreakTaken = true;
    }
}

FillSelection::Result FillSelection::choose() {
    const LocalDateTime now = m_clock.now();
    try {
        const int slot = dueBreakSlot(now.secondsOfDay);
        Counts breakCounts;
        if (slot != 0) {
            std::optional<Result> spot = chooseBreak(slot, now, breakCounts);
            if (spot) {
                return *spot;
            }
        }
        // Music, on a break too when its slot holds no spot: that takes the break all the same.
        Result music = chooseMusic();
        music.counts.breakSlot = breakCounts.breakSlot;
        music.counts.rotation = breakCounts.rotation;
        music.counts.rotationEntry = breakCounts.rotationEntry;
        return music;
    } catch (const IoError& error) {
        return failed(std::to_string(error.errorNumber()) + " " + error.what());
    } catch (const std::exception& error) {
        return failed(error.what());
    }
}

std::optional<FillSelection::Result> FillSelection::chooseBreak(int slot, const LocalDateTime& now,
                                                                Counts& counts) {
    counts.breakSlot = slot;
    int value = m_parameters.ProgramEvent[static_cast<std::size_t>(slot)];
    if (value >= kFirstRotation && value <= kLastRotation) {
        const int rotation = value;
        if (!m_rotations.exists(rotation)) {
            takeBreak(slot);  // the break is missed, and the fill goes on with music
            return failed("Rotation File " + std::to_string(rotation) + " does not exist.");
        }
        const RotationPick pick =
            chooseRotationEntry(rotation, now, m_rotations, m_spots, m_paths, m_passedSpots);
        if (pick.spot == 0) {
            // Every spot it could play would not play (music instead), or it yields none.
            if (m_passedSpots.empty() ||
                chooseRotationEntry(rotation, now, m_rotations, m_spots, m_paths).spot == 0) {
                takeBreak(slot);
                return failed("Illegal Rotation File. Check dates.");
            }
            return std::nullopt;
        }
        counts.rotation = rotation;
        counts.rotationEntry = pick.entryRecord;
        value = pick.spot;
    }
    if (value < 1 || value > kLastSingleSpot || m_passedSpots.contains(value)) {
        return std::nullopt;
    }
    Result result = chooseSpot(value);
    result.counts.breakSlot = counts.breakSlot;
    result.counts.rotation = counts.rotation;
    result.counts.rotationEntry = counts.rotationEntry;
    return result;
}

FillSelection::Result FillSelection::chooseSpot(int number) const {
    const SpotRecord spot = m_spots.read(number);
    Result result;
    FillItem& item = result.item.emplace();
    item.FillLength = wholeSecondsValue(spot.EOM);
    item.LogText = shownText(spot.Name);
    item.FillPath = m_spots.wavePath(number);
    item.Label3 = item.LogText;
    result.counts.spot = number;
    return result;
}

FillSelection::Result FillSelection::chooseMusic() {
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
    if (m_currentLetter.empty()) {
        list.countPlay(*entryRecord);
        return failed(std::string("No music to play: entry ") + std::to_string(*entryRecord) +
                      " of program list " + listName + " names category " +
                      std::to_string(entry.Category) + ", which is not a category.");
    }
    const auto winner = leastRecentlyPlayed();
    if (!winner) {
        list.countPlay(*entryRecord);  // the next choice tries the next category
        return failed("No music to play in category " + m_currentLetter +
                      ": no active music file of it is marked for the fill, other than the "
                      "title or artist just played.");
    }
    const MusicRecord music = m_music.read(*winner);
    Result result;
    FillItem& item = result.item.emplace();
    item.LogText = shownText(music.Title);
    item.Label3 = item.LogText + " " + shownText(music.Artist);
    item.FillLength = wholeSecondsValue(music.EOM);
    item.FillPath = m_music.wavePath(*winner, music.Drive);
    Counts& counts = result.counts;
    counts.music = *winner;
    counts.listRecord = *entryRecord;
    counts.alternateList = m_state.AlternateActive;
    counts.Title = music.Title;
    counts.Artist = music.Artist;
    return result;
}

void FillSelection::commit(const Result& chosen) {
    const Counts& counts = chosen.counts;
    takeBreak(counts.breakSlot);
    if (counts.rotation != 0) {
        countRotationPlay(counts.rotation, counts.rotationEntry, m_paths, m_rotations.diskSync());
    }
    if (counts.music != 0) {
        m_previousTitle = counts.Title;
        m_previousArtist = counts.Artist;
        (counts.alternateList ? m_listTwo : m_listOne).countPlay(counts.listRecord);
        m_history.markPlayed(counts.music, m_clock.now());
    }
}

FillSelection::Result FillSelection::HotKeyLoad() {
    Result result = choose();
    if (result.item) {
        try {
            commit(result);
        } catch (const IoError& error) {
            return failed(std::to_string(error.errorNumber()) + " " + error.what());
        }
    }
    return result;
}

void FillSelection::passOver(const Result& chosen) {
    if (chosen.counts.spot != 0) {
        m_passedSpots.insert(chosen.counts.spot);
    }
    if (chosen.counts.music != 0) {
        m_passedMusic.insert(chosen.counts.music);
    }
}

void FillSelection::beginFill() {
    m_passedSpots.clear();
    m_passedMusic.clear();
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
        if (!candidate || m_passedMusic.contains(number)) {
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
