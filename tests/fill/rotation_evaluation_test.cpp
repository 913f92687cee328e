#include "fill/rotation_evaluation.h"

#include <gtest/gtest.h>

#include "fill/rotation_files.h"
#include "fill_test_data.h"

namespace dvx {
namespace {

// Monday 7 December 2026.
LocalDateTime monday() {
    LocalDateTime today;
    today.year = 2026;
    today.month = 12;
    today.day = 7;
    today.weekday = 2;
    today.secondsOfDay = 12 * 3600;
    return today;
}

struct Rotations {
    test::FillData data;
    RotationNames names{data.files.RFNames};

    int evaluate(int number = 9005) {
        return EvaluateRotation(number, monday(), names, data.spots, data.paths);
    }
    RotationEntry entry(int record) { return RotationEntryFile(data.paths, 9005).read(record); }
    void setEntry(int record, const RotationEntry& value) {
        RotationEntryFile(data.paths, 9005).write(record, value);
    }
};

TEST(EvaluateRotation, FewestPlaysWinsTiesToTheFirstEntryAndTheWinnerIsCounted) {
    Rotations r;
    for (int spot = 10; spot <= 12; ++spot) {
        r.data.addSpot(spot, "Spot", 10);
    }
    r.data.addRotation(9005, {{10, 2}, {11, 0}, {12, 0}});
    EXPECT_EQ(r.evaluate(), 11);
    EXPECT_EQ(r.entry(2).Plays, 1);
    EXPECT_EQ(r.evaluate(), 12);
    EXPECT_EQ(r.evaluate(), 11);
    EXPECT_EQ(r.entry(1).Plays, 2);
    EXPECT_EQ(r.entry(2).Plays, 2);

    // A free slot between live entries is skipped and keeps its place.
    RotationEntry freed = r.entry(2);
    freed.InUse = 0;
    r.setEntry(2, freed);
    EXPECT_EQ(r.evaluate(), 12);
    EXPECT_EQ(r.entry(2), freed);

    // A rotation without a name record yields nothing; its entry file is made empty.
    EXPECT_EQ(r.evaluate(9007), 0);
    EXPECT_TRUE(std::filesystem::exists(RotationPath(r.data.paths, 9007)));
}

TEST(EvaluateRotation, DayAndDateChecks) {
    Rotations r;
    r.data.addSpot(10, "Expired", 10, "12/06/26");  // stopped yesterday
    r.data.addSpot(11, "Open", 10, "tfn");
    r.data.addRotation(9005, {{10, 0}, {11, 5}}, /*checkDates=*/1);
    EXPECT_EQ(r.evaluate(), 11);

    SpotRecord startsToday = r.data.spots.read(10);
    startsToday.StartDate = "12-07-26";
    startsToday.StopDate = "12/31/26";
    r.data.spots.write(10, startsToday);
    EXPECT_EQ(r.evaluate(), 10);

    // Dates not checked: an expired spot plays all the same.
    r.data.addSpot(10, "Expired", 10, "01/01/20");
    r.names.write(5, RotationName{1, 30, "Sweepers", 0, 0});
    EXPECT_EQ(r.evaluate(), 10);

    // Days checked: only entries ticked for Monday.
    r.names.write(5, RotationName{1, 30, "Sweepers", 0, 1});
    RotationEntry notMonday = r.entry(1);
    notMonday.Days = {1, 0, 1, 1, 1, 1, 1};
    r.setEntry(1, notMonday);
    EXPECT_EQ(r.evaluate(), 11);
    RotationEntry never = r.entry(2);
    never.Days.fill(0);
    r.setEntry(2, never);
    const auto before = test::fileBytes(RotationPath(r.data.paths, 9005));
    EXPECT_EQ(r.evaluate(), 0);
    EXPECT_EQ(test::fileBytes(RotationPath(r.data.paths, 9005)), before);  // nothing written
}

TEST(EvaluateRotation, AnInactiveSpotInALiveEntrySpoilsTheWholeRotation) {
    Rotations r;
    r.data.addSpot(10, "Deleted", 10, "TFN", kSpotFree);
    r.data.addSpot(11, "Fine", 10);
    r.data.addRotation(9005, {{10, 0}, {11, 0}});
    EXPECT_EQ(r.evaluate(), 0);
    EXPECT_EQ(r.entry(2).Plays, 0);
}

}  // namespace
}  // namespace dvx
