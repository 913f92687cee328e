#include "fill/fill_selection.h"

#include <gtest/gtest.h>

#include "common/record_codec.h"
#include "common/simulated_clock.h"
#include "common/time_text.h"
#include "fill/play_history.h"
#include "fill_test_data.h"
#include "sensor/sensor_state.h"
#include "settings/parameters.h"

namespace dvx {
namespace {

constexpr double at(int hours, int minutes, int seconds) {
    return hours * 3600.0 + minutes * 60.0 + seconds;
}

// The selection on a fresh data folder, Monday 7 December 2026 from 10:00.
struct Selection {
    test::FillData data;
    SimulatedClock clock{2026, 12, 7, at(10, 0, 0)};
    SensorState state;
    Parameters parameters;
    FillSelection selection{clock, state, parameters, data.fillFiles(), data.paths};

    // The text logged for the next choice, or the failure.
    std::string next() {
        const FillSelection::Result result = selection.HotKeyLoad();
        return result.item ? trimBlanks(result.item->LogText) : "failed: " + result.failure;
    }
};

TEST(FillSelection, BreaksPlayTheSlotOfTheProgramInForceOncePerWindow) {
    Selection s;
    s.parameters.ProgramEvent = {0, 0, 12, 13, 0, 15, 16};
    for (const int spot : {12, 13, 15, 16}) {
        s.data.addSpot(spot, "Slot " + std::to_string(spot), 20);
    }
    s.data.addMusic(1, "Song One", "Artist X", "A", 180);
    s.data.addMusic(2, "Song Two", "Artist Y", "A", 200);
    s.data.program("A");

    struct Case {
        double time;
        bool alternate;
        bool quarterTaken;
        bool hourTaken;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {at(10, 3, 1), false, false, false, "Song One"},  // no break due
        {at(10, 13, 0), false, false, false, "Slot 12"},
        {at(10, 15, 30), false, false, false, "Slot 12"},
        {at(10, 16, 40), false, true, false, "Song Two"},  // the window's break is taken
        {at(10, 18, 0), false, false, false, "Slot 12"},   // the window is still open
        {at(10, 18, 1), false, false, false, "Song One"},
        {at(10, 28, 0), true, false, false, "Slot 15"},
        {at(10, 48, 0), false, false, false, "Slot 12"},
        {at(10, 57, 0), false, false, false, "Slot 13"},
        {at(10, 59, 30), true, false, false, "Slot 16"},
        {at(11, 0, 0), false, false, true, "Song Two"},
        {at(11, 2, 59), true, false, false, "Slot 16"},
        {at(11, 3, 0), false, false, false, "Slot 13"},
    };
    for (const Case& c : cases) {
        s.clock.advanceTo(c.time);
        s.state.AlternateActive = c.alternate;
        s.state.QuarterBreakTaken = c.quarterTaken;
        s.state.HourBreakTaken = c.hourTaken;
        EXPECT_EQ(s.next(), c.expected) << formatTimeOfDay(static_cast<int>(c.time));
        const bool quarter = c.expected == "Slot 12" || c.expected == "Slot 15";
        const bool hour = c.expected == "Slot 13" || c.expected == "Slot 16";
        EXPECT_EQ(s.state.QuarterBreakTaken, c.quarterTaken || quarter);
        EXPECT_EQ(s.state.HourBreakTaken, c.hourTaken || hour);
    }

    // What a spot leaves for the players.
    s.state.HourBreakTaken = false;
    const FillSelection::Result spot = s.selection.HotKeyLoad();
    ASSERT_TRUE(spot.item);
    EXPECT_EQ(spot.item->FillPath, s.data.root.path() / "c/Dorvex/Spotfile/SF0013.wav");
    EXPECT_EQ(spot.item->FillLength, 20);
    EXPECT_EQ(spot.item->LogText, test::padded("Slot 13", 25));
    EXPECT_EQ(spot.item->Label3, test::padded("Slot 13", 25));

    // A slot holding no spot and no rotation plays music.
    int second = 0;
    for (const int value : {0, 850, 9500, 10065}) {
        s.parameters.ProgramEvent[2] = value;
        s.state.QuarterBreakTaken = false;
        s.clock.advanceTo(at(11, 15, ++second));
        EXPECT_EQ(s.next().rfind("Song", 0), 0u) << value;
        EXPECT_TRUE(s.state.QuarterBreakTaken);
    }
}

TEST(FillSelection, RotationSlotsAdvanceTheRotationAndReportItsProblems) {
    Selection s;
    s.clock.advanceTo(at(10, 15, 0));
    s.parameters.ProgramEvent[2] = 9005;
    s.data.addSpot(10, "Sweeper A", 5);
    s.data.addSpot(11, "Sweeper B", 6);
    s.data.addSpot(850, "Spot past 800", 7);
    s.data.addRotation(9005, {{10, 1}, {11, 0}, {850, 1}});
    s.data.addMusic(1, "Song One", "Artist X", "A", 180);
    s.data.program("A");

    const auto breakNow = [&] {
        s.state.QuarterBreakTaken = false;
        return s.next();
    };
    EXPECT_EQ(breakNow(), "Sweeper B");
    EXPECT_EQ(breakNow(), "Sweeper A");
    EXPECT_EQ(breakNow(), "Sweeper B");
    EXPECT_EQ(breakNow(), "Song One");  // the rotation's spot 850 counts as music
    RotationEntryFile counted(s.data.paths, 9005);
    EXPECT_EQ(counted.read(1).Plays, 2);
    EXPECT_EQ(counted.read(2).Plays, 2);
    EXPECT_EQ(counted.read(3).Plays, 2);

    RotationNames names(s.data.files.RFNames);
    RotationName name = names.read(5);
    name.CheckDays = 1;  // and no entry ticked for any day
    names.write(5, name);
    for (int record = 1; record <= 3; ++record) {
        RotationEntryFile entries(s.data.paths, 9005);
        RotationEntry entry = entries.read(record);
        entry.Days.fill(0);
        entries.write(record, entry);
    }
    EXPECT_EQ(breakNow(), "failed: Illegal Rotation File. Check dates.");
    EXPECT_TRUE(s.state.QuarterBreakTaken);

    name.InUse = 0;
    names.write(5, name);
    EXPECT_EQ(breakNow(), "failed: Rotation File 9005 does not exist.");
    EXPECT_TRUE(s.state.QuarterBreakTaken);
}

// A choice is counted only once it plays; one whose file would not play is passed over for the
// rest of the fill: a rotation goes to its next spot, and once every spot it could play has
// been passed over the break plays music.
TEST(FillSelection, NothingIsCountedBeforeAnItemPlaysAndPassedOverFilesAreNotChosenAgain) {
    Selection s;
    s.clock.advanceTo(at(10, 15, 0));
    s.parameters.ProgramEvent[2] = 9005;
    s.data.addSpot(10, "Sweeper A", 5);
    s.data.addSpot(11, "Sweeper B", 6);
    s.data.addRotation(9005, {{10, 1}, {11, 0}});
    s.data.addMusic(1, "Song One", "Artist X", "A", 180);
    s.data.addMusic(2, "Song Two", "Artist Y", "A", 180);
    s.data.program("A");
    RotationEntryFile entries(s.data.paths, 9005);

    FillSelection::Result chosen = s.selection.choose();
    ASSERT_TRUE(chosen.item);
    EXPECT_EQ(trimBlanks(chosen.item->LogText), "Sweeper B");
    EXPECT_FALSE(s.state.QuarterBreakTaken);
    EXPECT_EQ(entries.read(2).Plays, 0);
    s.selection.passOver(chosen);
    chosen = s.selection.choose();
    EXPECT_EQ(trimBlanks(chosen.item->LogText), "Sweeper A");
    s.selection.passOver(chosen);
    chosen = s.selection.choose();  // no spot of the break left: music, taking the break
    EXPECT_EQ(trimBlanks(chosen.item->LogText), "Song One");
    s.selection.passOver(chosen);
    chosen = s.selection.choose();
    EXPECT_EQ(trimBlanks(chosen.item->LogText), "Song Two");
    EXPECT_EQ(s.data.files.MusHist.recordCount(), 0);
    EXPECT_EQ(ProgramList(s.data.files.MusRotFileOne).read(1).Plays, 0);

    s.selection.commit(chosen);
    EXPECT_TRUE(s.state.QuarterBreakTaken);
    EXPECT_EQ(PlayHistory(s.data.files.MusHist).stamp(2), "261207101500");
    EXPECT_EQ(ProgramList(s.data.files.MusRotFileOne).read(1).Plays, 1);
    EXPECT_EQ(s.selection.PreviousTitle(), test::padded("Song Two", 30));

    // A new fill gives every file its chance again.
    s.selection.beginFill();
    s.state.QuarterBreakTaken = false;
    EXPECT_EQ(s.next(), "Sweeper B");
    EXPECT_EQ(entries.read(2).Plays, 1);
}

TEST(FillSelection, MusicIsTheLeastRecentlyPlayedOfTheNextCategoryAndNeverRepeatsTitleOrArtist) {
    Selection s;
    s.clock.advanceTo(at(14, 7, 9));
    s.data.addMusic(1, "Song One", "Artist X", "A", 180);
    s.data.addMusic(2, "Song Two", "Artist X", "BA", 200);
    s.data.addMusic(3, "Song Three", "", "A", 150);
    s.data.addMusic(4, "Song Four", "Artist Y", "a", 160);       // another category
    s.data.addMusic(5, "Song Five", "Artist Z", "A", 170, 'N');  // not for the fill
    PlayHistory history(s.data.files.MusHist);
    LocalDateTime earlier = s.clock.now();
    earlier.day = 1;
    history.markPlayed(1, earlier);
    earlier.day = 30;
    earlier.month = 11;
    history.markPlayed(3, earlier);
    s.data.program("A");
    s.data.program("a", /*alternate=*/true);

    const FillSelection::Result first = s.selection.HotKeyLoad();
    ASSERT_TRUE(first.item);  // never played before the older stamps
    EXPECT_EQ(first.item->LogText, test::padded("Song Two", 30));
    EXPECT_EQ(first.item->Label3,
              test::padded("Song Two", 30) + " " + test::padded("Artist X", 25));
    EXPECT_EQ(first.item->FillLength, 200);
    EXPECT_EQ(first.item->FillPath, s.data.root.path() / "c/Dorvex/Music/MF0002.wav");
    EXPECT_EQ(history.stamp(2), "261207140709");
    EXPECT_EQ(s.selection.CurrentLetter(), "A");
    EXPECT_EQ(s.selection.CurrentCategory(), 1);

    EXPECT_EQ(s.next(), "Song Three");  // Song One has the artist just played
    EXPECT_EQ(s.next(), "Song One");    // a blank artist does not keep Artist X out
    EXPECT_EQ(s.next(), "Song Three");  // Song Two shares the artist just played
    EXPECT_EQ(ProgramList(s.data.files.MusRotFileOne).read(1).Plays, 4);

    s.state.AlternateActive = true;
    EXPECT_EQ(s.next(), "Song Four");  // "a" is not "A"
    EXPECT_EQ(s.selection.CurrentLetter(), "a");
}

TEST(FillSelection, AFailedChoiceLeavesEverythingButTheListsCount) {
    Selection s;
    EXPECT_EQ(s.next(), "failed: No music to play: program list one (regular) has no entries.");
    s.data.addMusic(1, "Song One", "Artist X", "A", 180);
    s.data.program("C");
    EXPECT_EQ(s.next(),
              "failed: No music to play in category C: no active music file of it is marked for "
              "the fill, other than the title or artist just played.");
    EXPECT_EQ(ProgramList(s.data.files.MusRotFileOne).read(1).Plays, 1);
    EXPECT_EQ(s.data.files.MusHist.recordCount(), 0);
    EXPECT_EQ(s.selection.PreviousTitle(), "");

    // A single tune cannot follow itself.
    ProgramList(s.data.files.MusRotFileOne).write(1, ProgramListEntry{1, 1, 0});
    EXPECT_EQ(s.next(), "Song One");
    EXPECT_EQ(s.next().rfind("failed: No music to play in category A", 0), 0u);
    EXPECT_EQ(s.selection.PreviousTitle(), test::padded("Song One", 30));
}

}  // namespace
}  // namespace dvx
