#include "library/spot_catalogue.h"

#include <gtest/gtest.h>

#include "library/spot_dates.h"
#include "support/temp_folder.h"

namespace dvx {
namespace {

std::string pad(const std::string& text, std::size_t width) {
    std::string padded = text;
    padded.resize(width, ' ');
    return padded;
}

SpotRecord newRecording(int number) {
    SpotRecord record;
    record.Status = kSpotActive;
    record.Name = newSpotName(number);
    record.Talent = "Dub";
    record.Length = "75";
    record.EOM = "75";
    record.StartDate = record.StopDate = record.RecordDate = "12/05/26";
    record.RotationRef = "None";
    return record;
}

struct SpotFiles {
    test::TempFolder root;
    Paths paths{root.path()};
    RecordFile file{(std::filesystem::create_directories(paths.spotFolder()),
                     paths.spotFolder() / "Spotfile.dat"),
                    kSpotRecordLength};
    SpotCatalogue catalogue{file, paths};
};

TEST(SpotCatalogue, RecordLayoutIsByteExactAndSpotNIsRecordN) {
    SpotFiles files;
    files.catalogue.write(5, newRecording(5));

    const std::string expected = "1" + pad("(No Name 005 ****)", 25) + "Dub" +
                                 std::string(25, ' ') + "75   " + "75   " + "12/05/26" +
                                 "12/05/26" + "12/05/26" + "None" + " " + " ";
    const auto bytes = test::fileBytes(files.file.path());
    ASSERT_EQ(bytes.size(), 5u * 94u);
    EXPECT_EQ(std::string(bytes.begin() + 4 * 94, bytes.end()), expected);
    // Records never written read as zero bytes, which are free.
    EXPECT_TRUE(std::all_of(bytes.begin(), bytes.begin() + 4 * 94, [](auto b) { return b == 0; }));
    EXPECT_FALSE(isSpotTaken(files.catalogue.read(3)));

    const SpotRecord back = files.catalogue.read(5);
    EXPECT_EQ(encodeSpotRecord(back), encodeSpotRecord(newRecording(5)));
    EXPECT_EQ(back.Name, pad("(No Name 005 ****)", 25));
    // Longer values are cut to their field.
    SpotRecord longName = newRecording(6);
    longName.Name = std::string(40, 'x');
    EXPECT_EQ(encodeSpotRecord(longName).size(), 94u);
    EXPECT_EQ(decodeSpotRecord(encodeSpotRecord(longName)).Name, std::string(25, 'x'));

    EXPECT_EQ(files.catalogue.wavePath(7), files.root.path() / "c/Dorvex/Spotfile/SF0007.wav");
    EXPECT_EQ(files.catalogue.wavePath(900).filename(), "SF0900.wav");
}

TEST(SpotCatalogue, NextFreeNumberTakesTheLowestFreeAndStopsAt900) {
    SpotFiles files;
    EXPECT_EQ(files.catalogue.nextFreeNumber(), 1);
    for (int n = 1; n <= 3; ++n) {
        files.catalogue.write(n, newRecording(n));
    }
    SpotRecord deleted = newRecording(2);
    deleted.Status = kSpotFree;
    files.catalogue.write(2, deleted);
    EXPECT_EQ(files.catalogue.nextFreeNumber(), 2);
    EXPECT_TRUE(files.catalogue.isFreeNumber(2));
    EXPECT_FALSE(files.catalogue.isFreeNumber(3));
    EXPECT_FALSE(files.catalogue.isFreeNumber(0));
    EXPECT_FALSE(files.catalogue.isFreeNumber(901));

    // Every number active or reserved: none is left.
    SpotRecord reserved = newRecording(1);
    reserved.Status = kSpotReserved;
    std::string full;
    for (int n = 1; n <= 900; ++n) {
        const Bytes record = encodeSpotRecord(n % 2 == 0 ? reserved : newRecording(n));
        full.append(record.begin(), record.end());
    }
    test::writeFile(files.file.path(), full);
    EXPECT_EQ(files.catalogue.nextFreeNumber(), std::nullopt);
}

TEST(SpotCatalogue, ListsActiveEntriesByNameOrNumberAndChecksBeforePlaying) {
    SpotFiles files;
    files.catalogue.write(5, newRecording(5));
    SpotRecord reserved = newRecording(6);
    reserved.Status = kSpotReserved;
    files.catalogue.write(6, reserved);
    SpotRecord id = newRecording(12);
    id.Name = "Station ID";
    files.catalogue.write(12, id);

    const auto byName = files.catalogue.activeList(SpotListView::ByName);
    ASSERT_EQ(byName.size(), 2u);
    EXPECT_EQ(byName[0].text, pad("(No Name 005 ****)", 25) + "    5");
    EXPECT_EQ(byName[0].number, 5);
    EXPECT_EQ(byName[1].text, pad("Station ID", 25) + "   12");
    EXPECT_EQ(files.catalogue.activeList(SpotListView::ByNumber)[1].text,
              " 12  " + pad("Station ID", 25));

    EXPECT_EQ(files.catalogue.playProblem(6), std::string(kNotActiveMessage));
    EXPECT_EQ(files.catalogue.playProblem(5), std::string(kMissingSoundFileMessage));
    test::writeFile(files.catalogue.wavePath(5), "RIFF");
    EXPECT_EQ(files.catalogue.playProblem(5), std::nullopt);
}

TEST(SpotDates, OpenDatesTfnInAnyCaseAndTwoDigitYearsAroundThePivot) {
    const CalendarDate today{2026, 12, 5};
    EXPECT_TRUE(withinDates("TFN", "tfn", today));
    EXPECT_TRUE(withinDates("        ", "", today));
    EXPECT_TRUE(withinDates("12/05/26", "12-05-26", today));  // both ends count
    EXPECT_FALSE(withinDates("12/06/26", "TFN", today));
    EXPECT_FALSE(withinDates("TFN", "12/04/26", today));
    EXPECT_FALSE(withinDates("TFN", "13/04/26", today));  // not a date: kept out

    EXPECT_EQ(readSpotDate("01/02/29"), (CalendarDate{2029, 1, 2}));
    EXPECT_EQ(readSpotDate("01-02-30"), (CalendarDate{1930, 1, 2}));
    EXPECT_EQ(readSpotDate("2/29/2028"), (CalendarDate{2028, 2, 29}));
    EXPECT_EQ(readSpotDate("02/29/27"), std::nullopt);
    EXPECT_EQ(readSpotDate("12/05-26"), std::nullopt);
    EXPECT_TRUE(isOpenDate(" tFn "));
}

}  // namespace
}  // namespace dvx
