#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>

#include "common/clock.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "fill/play_history.h"
#include "fill/program_list.h"
#include "fill/rotation_files.h"
#include "library/music_catalogue.h"
#include "library/spot_catalogue.h"

namespace dvx {

struct Parameters;
struct SensorState;

// What the fill plays next (`FillPath`, `FillLength`, `LogText`, `Label3`).
struct FillItem {
    std::filesystem::path FillPath;
    std::int32_t FillLength = 0;  // seconds: the spot's or tune's end-of-message point
    std::string LogText;          // spot name (25) or music title (30), as stored
    std::string Label3;           // spot name, or title + " " + artist
};

// The open data files the selection reads and writes (start-up's handles).
struct FillFiles {
    RecordFile& Spotfile;
    RecordFile& Music;
    RecordFile& MusRotFileOne;
    RecordFile& MusRotFileTwo;
    RecordFile& MusHist;
    RecordFile& RFNames;
};

// `HotKeyLoad`: chooses the next fill item. In the break windows (13:00-18:00, 28:00-33:00 and
// 43:00-48:00 past the hour for the quarter-hour break, 57:00 past to 03:00 past the next hour
// for the top of the hour) the first choice plays the event slot of the program in force (a
// single spot 1..800 or a rotation 9001..9200); any other time, or a slot holding anything
// else, plays the least recently played music file of the category that the program list in
// force has played least, never the title or the (non-blank) artist just played.
//
// Choosing and counting are two steps, so that nothing is counted for an item that does not
// play: choose() writes nothing (but for the failures below), and commit() counts the chosen
// item once it plays: the break taken, the rotation entry's play, the program list entry's
// play and the music file's play history. A file that would not play is passed over for the
// rest of the fill, and choose() then picks another.
//
// Main thread only, inside the monitoring tick. Reads the program in force and the break flags
// from the sensor state, and sets the flags of the break it plays.
class FillSelection {
  public:
    FillSelection(const Clock& clock, SensorState& state, const Parameters& parameters,
                  FillFiles files, const Paths& paths);

    // What playing a chosen item counts.
    struct Counts {
        int breakSlot = 0;  // the event slot of the break played, or 0
        int rotation = 0;   // the rotation the spot comes from, and its entry, or 0
        int rotationEntry = 0;
        int spot = 0;        // the spot, or 0 for music
        int music = 0;       // the music record, or 0 for a spot
        int listRecord = 0;  // the program-list entry of the music's category
        bool alternateList = false;
        std::string Title;  // the music's title (30) and artist (25) as stored
        std::string Artist;
    };
    // The chosen item, or why there is none (the message for the error window). A failure
    // changes nothing in memory but what the fill needs to move on: a rotation that fails takes
    // its break, and a music choice without a candidate counts its program list's entry, so
    // that the next choice tries the next category.
    struct Result {
        std::optional<FillItem> item;
        std::string failure;
        Counts counts;
    };
    Result choose();
    // The chosen item plays: counts it. Throws IoError.
    void commit(const Result& chosen);
    // choose() and commit() in one, for callers that play whatever is chosen.
    Result HotKeyLoad();

    // The chosen item's file would not play: it is passed over until beginFill().
    void passOver(const Result& chosen);
    // A new fill: every file gets its chance again.
    void beginFill();

    // The category of the last music choice and its letter.
    std::int16_t CurrentCategory() const { return m_currentCategory; }
    const std::string& CurrentLetter() const { return m_currentLetter; }
    // Title (30) and artist (25) of the last music played, as stored.
    const std::string& PreviousTitle() const { return m_previousTitle; }
    const std::string& PreviousArtist() const { return m_previousArtist; }

  private:
    int dueBreakSlot(double secondsOfDay) const;
    void takeBreak(int slot);
    // The break's spot, or nothing when the break plays music; `counts` gets what the break
    // counts either way.
    std::optional<Result> chooseBreak(int slot, const LocalDateTime& now, Counts& counts);
    Result chooseSpot(int number) const;
    Result chooseMusic();
    std::optional<int> leastRecentlyPlayed() const;

    const Clock& m_clock;
    SensorState& m_state;
    const Parameters& m_parameters;
    const Paths& m_paths;
    SpotCatalogue m_spots;
    MusicCatalogue m_music;
    ProgramList m_listOne;
    ProgramList m_listTwo;
    PlayHistory m_history;
    RotationNames m_rotations;
    std::int16_t m_currentCategory = 0;
    std::string m_currentLetter;
    std::string m_previousTitle;
    std::string m_previousArtist;
    std::set<int> m_passedSpots;  // files that would not play in this fill
    std::set<int> m_passedMusic;
};

}  // namespace dvx
