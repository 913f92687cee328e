#include "fill/rotation_manager_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <iterator>

#include "common/simulated_clock.h"
#include "fill/rotation_evaluation.h"
#include "fill_test_data.h"

namespace dvx {
namespace {

// The manager's form over a fresh data folder, on Monday 7 December 2026.
struct ManagerRig {
    test::FillData data;
    SimulatedClock clock{2026, 12, 7, 12 * 3600.0};
    test::RecordingErrorReporter errors;
    RotationNames names{data.files.RFNames};
    RotationManagerForm form{{data.files.RFNames, data.files.Spotfile, data.paths}, clock, errors};

    // Rotation 9001 holding spots 11..15; entry i has i plays and is ticked for weekday i - 1
    // only, so every entry carries fields of its own.
    void fiveEntries() {
        for (int spot = 11; spot <= 15; ++spot) {
            data.addSpot(spot, "Spot " + std::to_string(spot), 10);
        }
        data.addRotation(9001, {{11, 1}, {12, 2}, {13, 3}, {14, 4}, {15, 5}});
        for (int record = 1; record <= 5; ++record) {
            RotationEntry entry = file().read(record);
            entry.Days.fill(0);
            entry.Days[static_cast<std::size_t>(record - 1)] = 1;
            file().write(record, entry);
        }
        form.nameChosen(1);
    }
    RotationEntryFile file(int number = 9001) { return RotationEntryFile(data.paths, number); }
    // The live entries of rotation 9001 in record order, and their spots.
    std::vector<RotationEntry> entries() {
        std::vector<RotationEntry> live = data.rotationRecords(9001);
        std::erase_if(live, [](const RotationEntry& entry) { return entry.InUse != 1; });
        return live;
    }
    std::vector<int> spots() {
        std::vector<int> result;
        std::ranges::transform(entries(), std::back_inserter(result), &RotationEntry::SpotNumber);
        return result;
    }
};

TEST(RotationManagerForm, CutEntriesGoBackInPlaceAndMovedEntriesKeepTheirFields) {
    ManagerRig rig;
    rig.fiveEntries();
    const std::vector<RotationEntry> before = rig.entries();

    rig.form.entryChosen(2);
    rig.form.cutEntry();
    EXPECT_EQ(rig.spots(), (std::vector<int>{11, 13, 14, 15}));
    EXPECT_EQ(rig.form.clipboardSpot(), 12);
    EXPECT_EQ(rig.form.entryLines().size(), 4u);
    EXPECT_EQ(rig.file().read(5), RotationEntry{});  // the slot behind is cleared
    EXPECT_EQ(rig.entries()[1], before[2]);          // the former third entry, days and plays
    ASSERT_EQ(rig.form.entry(), 2);                  // the line that moved up is chosen
    rig.form.insertClipboard();

    rig.form.entryChosen(4);
    rig.form.cutEntry();
    EXPECT_EQ(rig.form.clipboardSpot(), 14);
    rig.form.insertClipboard();

    EXPECT_EQ(rig.spots(), (std::vector<int>{11, 12, 13, 14, 15}));
    EXPECT_EQ(rig.file().recordCount(), 5);
    const std::vector<RotationEntry> after = rig.entries();
    for (const std::size_t moved : {0u, 2u, 4u}) {
        EXPECT_EQ(after[moved], before[moved]) << "entry " << moved + 1;
    }
    // An entry put back starts without plays, on the days of the entry it was put before.
    EXPECT_EQ(after[1].Plays, 0);
    EXPECT_EQ(after[1].Days, before[2].Days);
    EXPECT_EQ(after[3].Days, before[4].Days);
}

TEST(RotationManagerForm, ReplaceAndAddingFromTheSpotList) {
    ManagerRig rig;
    rig.fiveEntries();
    rig.data.addSpot(20, "New Sweeper", 10);
    rig.data.addSpot(850, "Far Spot", 10);

    // Replace from the spot list: plays start again, the days stay.
    rig.form.entryChosen(3);
    rig.form.replaceWithSpot(20);
    EXPECT_EQ(rig.entries()[2].SpotNumber, 20);
    EXPECT_EQ(rig.entries()[2].Plays, 0);
    EXPECT_EQ(rig.entries()[2].Days, (std::array<std::int16_t, 7>{0, 0, 1, 0, 0, 0, 0}));
    // Replace from the clipboard changes the spot only.
    rig.form.entryChosen(4);
    rig.form.copyEntry();
    rig.form.entryChosen(5);
    rig.form.replaceWithClipboard();
    EXPECT_EQ(rig.entries()[4].SpotNumber, 14);
    EXPECT_EQ(rig.entries()[4].Plays, 5);

    // Free slots that still hold days (a file written by other means): Add takes a slot's days
    // and reserved field as they are, a double click clears them and remembers the rotation
    // in the spot.
    const RotationEntry freeSlot{0, 99, 4, 9, {1, 1, 1, 1, 1, 1, 1}};
    rig.file().write(6, freeSlot);
    rig.file().write(7, freeSlot);
    rig.form.spotDoubleClicked(20);
    EXPECT_EQ(rig.file().read(6), (RotationEntry{1, 20, 0, 0, {}}));
    EXPECT_EQ(rig.data.spots.read(20).RotationRef, "9001");
    rig.form.addSpot(13);
    EXPECT_EQ(rig.file().read(7), (RotationEntry{1, 13, 0, 9, {1, 1, 1, 1, 1, 1, 1}}));

    // A spot the fill would take for music is refused, and nothing changes.
    const auto bytes = test::fileBytes(RotationPath(rig.data.paths, 9001));
    rig.form.spotDoubleClicked(850);
    rig.form.addSpot(850);
    rig.form.replaceWithSpot(850);
    EXPECT_EQ(test::fileBytes(RotationPath(rig.data.paths, 9001)), bytes);
    EXPECT_NE(rig.data.spots.read(850).RotationRef, "9001");
    ASSERT_EQ(rig.errors.messages.size(), 3u);
    EXPECT_EQ(rig.errors.messages[0],
              "Spot 850 cannot go into a rotation: the fill plays rotation spots 1 to 800 only.");
}

TEST(RotationManagerForm, ADeletedNumberComesBackEmptyFromNew) {
    ManagerRig rig;
    rig.form.deleteRotation();
    EXPECT_EQ(rig.errors.messages, std::vector<std::string>{"No Rotation File was selected"});
    rig.data.addSpot(11, "Spot", 10);
    for (const int number : {9001, 9002, 9003}) {
        rig.data.addRotation(number, {{11, 0}});
    }
    rig.form.nameChosen(2);
    rig.form.deleteRotation();
    EXPECT_FALSE(std::filesystem::exists(RotationPath(rig.data.paths, 9002)));
    EXPECT_EQ(rig.names.read(2).InUse, 0);
    EXPECT_EQ(rig.form.nameLines().size(), 2u);

    // An entry file left behind (by an older run, or a fill that asked for the rotation) does not
    // hand its entries on.
    rig.data.addRotation(9002, {{11, 7}});
    rig.names.write(2, RotationName{});
    ASSERT_TRUE(rig.form.newRotation());
    EXPECT_EQ(rig.form.label(), "9002");
    EXPECT_TRUE(rig.form.entryLines().empty());
    EXPECT_FALSE(rig.form.apply("Jingles", "1:30:x", false, true));
    EXPECT_EQ(rig.errors.messages.back(), RotationManagerForm::kLengthMessage);
    EXPECT_EQ(rig.names.read(2).InUse, 0);
    ASSERT_TRUE(rig.form.apply("Jingles", "0:30", false, true));
    const RotationName made = rig.names.read(2);
    EXPECT_EQ(made.InUse, 1);
    EXPECT_EQ(made.Length, 30);
    EXPECT_EQ(made.CheckDays, 1);
    EXPECT_EQ(rig.file(9002).recordCount(), 0);
    EXPECT_EQ(rig.form.current(), 2);
    EXPECT_TRUE(rig.form.entryLines().empty());

    // An entry file that cannot be removed keeps its name in use.
    const auto blocked = RotationPath(rig.data.paths, 9003);
    std::filesystem::remove(blocked);
    std::filesystem::create_directories(blocked / "inside");
    rig.form.nameChosen(3);
    rig.form.deleteRotation();
    EXPECT_EQ(rig.errors.messages.back().rfind(std::to_string(ENOTEMPTY) + " ", 0), 0u)
        << rig.errors.messages.back();
    EXPECT_EQ(rig.names.read(3).InUse, 1);
    EXPECT_EQ(rig.form.nameLines().size(), 3u);
}

TEST(RotationManagerForm, NewIsRefusedOnceAllTwoHundredNumbersAreTaken) {
    ManagerRig rig;
    for (int record = 1; record <= 200; ++record) {
        rig.names.write(record, RotationName{1, 0, "Full", 0, 0});
    }
    rig.form.refresh();
    EXPECT_FALSE(rig.form.newRotation());
    EXPECT_EQ(rig.errors.messages,
              std::vector<std::string>{std::string(RotationManagerForm::kAllInUseMessage)});
    EXPECT_FALSE(rig.form.apply("Overflow", "", false, false));
    EXPECT_EQ(rig.data.files.RFNames.recordCount(), 200);
}

TEST(RotationManagerForm, APlayTheFillCountsMeanwhileOutlivesTheWindowsEdits) {
    ManagerRig rig;
    rig.fiveEntries();
    rig.form.entryChosen(1);
    rig.form.dayTicked(1, true);  // entry 1 (the fewest plays) may play on Mondays
    rig.names.write(1, RotationName{1, 0, "Sweepers", 0, 1});
    // The fill plays entry 1 while the window holds it chosen.
    EXPECT_EQ(EvaluateRotation(9001, rig.clock.now(), rig.names, rig.data.spots, rig.data.paths),
              11);
    rig.form.dayTicked(6, true);
    EXPECT_EQ(rig.entries()[0].Plays, 2);
    EXPECT_EQ(rig.entries()[0].Days, (std::array<std::int16_t, 7>{1, 1, 0, 0, 0, 0, 1}));

    rig.form.resetPlays();
    for (const RotationEntry& entry : rig.entries()) {
        EXPECT_EQ(entry.Plays, 0);
    }
}

TEST(RotationManagerForm, EachEntryShowsWhetherItPlaysTodayAsTheFillDecides) {
    ManagerRig rig;
    rig.data.addSpot(11, "Current", 10);
    rig.data.addSpot(12, "Expired", 10, "12/06/26");
    rig.data.addSpot(13, "Tuesdays", 10);
    rig.data.addRotation(9001, {{11, 0}, {12, 0}, {13, 0}}, 1, 1);
    RotationEntry tuesdays = rig.file().read(3);
    tuesdays.Days = {0, 0, 1, 0, 0, 0, 0};
    rig.file().write(3, tuesdays);
    const auto fillPlays = [&rig] {
        return chooseRotationEntry(9001, rig.clock.now(), rig.names, rig.data.spots, rig.data.paths)
            .spot;
    };

    rig.form.nameChosen(1);
    ASSERT_EQ(rig.form.entryLines().size(), 3u);
    EXPECT_EQ(rig.form.entryLines()[0].text, " 11 Current                     0  plays today");
    EXPECT_EQ(rig.form.entryLines()[1].text, " 12 Expired                     0  not today: dates");
    EXPECT_EQ(rig.form.entryLines()[2].text, " 13 Tuesdays                    0  not today: day");
    EXPECT_EQ(rig.form.todayNote(), "Plays today: 1 of 3 entries");

    // Untick Monday on the one entry that plays: the rotation yields nothing, and says so.
    rig.form.entryChosen(1);
    rig.form.dayTicked(1, false);
    EXPECT_EQ(fillPlays(), 0);
    EXPECT_EQ(rig.form.todayNote(), "Plays nothing today: the fill skips this rotation's breaks");

    // Tomorrow is Tuesday, by the program's clock.
    rig.clock.advanceSeconds(24 * 3600);
    rig.form.refresh();
    EXPECT_EQ(fillPlays(), 11);
    EXPECT_EQ(rig.form.todayNote(), "Plays today: 2 of 3 entries");

    // An inactive spot stops the whole rotation.
    rig.data.addSpot(12, "Expired", 10, "12/06/26", kSpotFree);
    rig.form.refresh();
    EXPECT_EQ(fillPlays(), 0);
    EXPECT_EQ(rig.form.entryLines()[1].text,
              " 12 Expired                     0  NOT ACTIVE: stops all");
    EXPECT_EQ(rig.form.todayNote(),
              "Plays nothing today: spot 12 is not active, so the fill skips this rotation's "
              "breaks");
}

}  // namespace
}  // namespace dvx
