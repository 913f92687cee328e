#include <gtest/gtest.h>

#include "fill/music_categories.h"
#include "fill/play_history.h"
#include "fill/program_list.h"
#include "fill/rotation_files.h"
#include "fill_test_data.h"

namespace dvx {
namespace {

std::string bytesAt(const std::filesystem::path& file, std::size_t offset, std::size_t count) {
    const auto bytes = test::fileBytes(file);
    return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                       bytes.begin() + static_cast<std::ptrdiff_t>(offset + count));
}

TEST(MusicCategoryFile, LettersMapToRecordsAndRecordsAreByteExact) {
    test::FillData data;
    MusicCategories categories(data.files.MusicCat);
    EXPECT_EQ(CategoryLetter(1), "A");
    EXPECT_EQ(CategoryLetter(26), "Z");
    EXPECT_EQ(CategoryLetter(27), "a");
    EXPECT_EQ(CategoryLetter(52), "z");
    EXPECT_EQ(CategoryLetter(0), "");
    EXPECT_EQ(CategoryLetter(53), "");
    EXPECT_EQ(CategoryRecord('q'), 43);
    EXPECT_EQ(CategoryRecord('Z'), 26);
    EXPECT_EQ(CategoryRecord('1'), std::nullopt);

    categories.write(43, MusicCategory{1, 1, "Quiet"});
    EXPECT_EQ(std::filesystem::file_size(data.files.MusicCat.path()), 43u * 16u);
    EXPECT_EQ(bytesAt(data.files.MusicCat.path(), 42 * 16, 16),
              std::string("\x01\x00\x01\x00", 4) + "Quiet       ");
    EXPECT_TRUE(categories.isDefined(43));
    EXPECT_FALSE(categories.isDefined(5));  // never written
}

TEST(ProgramListFile, EditsKeepEntriesPackedAndRecordsAreByteExact) {
    test::FillData data;
    ProgramList list(data.files.MusRotFileOne);
    MusicCategories categories(data.files.MusicCat);
    categories.write(1, MusicCategory{1, 0, "Rock"});
    categories.write(2, MusicCategory{1, 0, "Blues"});
    categories.write(3, MusicCategory{1, 0, "Country"});
    const auto letters = [&] {
        std::string text;
        for (const ListLine& line : list.displayLines(categories)) {
            text += CategoryLetter(list.read(line.itemData).Category);
        }
        return text;
    };

    data.program("ABA");
    const std::string recordA("\x01\x00\x01\x00\x00\x00", 6);
    EXPECT_EQ(test::fileBytes(data.files.MusRotFileOne.path()).size(), 18u);
    EXPECT_EQ(bytesAt(data.files.MusRotFileOne.path(), 0, 18),
              recordA + std::string("\x01\x00\x02\x00\x00\x00", 6) + recordA);
    EXPECT_EQ(list.displayLines(categories)[0], (ListLine{" 1 Rock         A 0", 1}));

    list.insertAt(2, 3);
    EXPECT_EQ(letters(), "ACBA");
    list.remove(1);
    EXPECT_EQ(letters(), "CBA");
    EXPECT_EQ(list.read(4).InUse, 0);
    EXPECT_EQ(list.read(4).Category, 1);  // freed, other fields kept
    EXPECT_EQ(ProgramList::selectionAfterRemove(0, 3), 0);
    EXPECT_EQ(ProgramList::selectionAfterRemove(3, 3), std::nullopt);
    EXPECT_EQ(list.add(2), 4);  // the freed slot is reused

    // The fewest plays first, ties to the lowest record.
    list.write(1, ProgramListEntry{1, 3, 2});
    EXPECT_EQ(list.rankFirst(), 2);
    list.write(4, ProgramListEntry{0, 2, 5});
    list.resetAllPlays();
    for (int record = 1; record <= 4; ++record) {
        EXPECT_EQ(list.read(record).Plays, 0) << record;
    }
    EXPECT_EQ(ProgramList(data.files.MusRotFileTwo).rankFirst(), std::nullopt);
}

TEST(ProgramListFile, TheTenthPlayStartsTheListOver) {
    test::FillData data;
    ProgramList list(data.files.MusRotFileOne);
    list.write(1, ProgramListEntry{1, 1, 9});
    list.write(2, ProgramListEntry{1, 2, 0});
    list.write(3, ProgramListEntry{0, 2, 7});
    list.countPlay(2);
    EXPECT_EQ(list.read(2).Plays, 1);
    list.countPlay(1);
    EXPECT_EQ(list.read(1).Plays, 0);
    EXPECT_EQ(list.read(2).Plays, 0);
    EXPECT_EQ(list.read(3).Plays, 7);  // a free slot keeps its count
}

TEST(PlayHistoryFile, StampIsYearFirstWithoutSeparators) {
    test::FillData data;
    PlayHistory history(data.files.MusHist);
    LocalDateTime time;
    time.year = 2026;
    time.month = 12;
    time.day = 5;
    time.secondsOfDay = 14 * 3600 + 7 * 60 + 9.75;
    history.markPlayed(2, time);
    EXPECT_EQ(bytesAt(data.files.MusHist.path(), 0, 24), std::string(12, '\0') + "261205140709");
    EXPECT_EQ(history.stamp(2), "261205140709");
    EXPECT_LT(history.stamp(1), history.stamp(2));  // never played sorts first
}

TEST(RotationFiles, NameAndEntryRecordsAreByteExact) {
    test::FillData data;
    RotationNames names(data.files.RFNames);
    names.write(5, RotationName{1, 70000, "Sweepers", 1, 0});
    const std::string name = std::string("\x01\x00", 2) + std::string("\x70\x11\x01\x00", 4) +
                             "Sweepers" + std::string(17, ' ') + std::string("\x01\x00\x00\x00", 4);
    EXPECT_EQ(std::filesystem::file_size(data.files.RFNames.path()), 5u * 35u);
    EXPECT_EQ(bytesAt(data.files.RFNames.path(), 4 * 35, 35), name);
    EXPECT_TRUE(names.exists(9005));
    EXPECT_FALSE(names.exists(9004));
    EXPECT_EQ(names.firstFreeRecord(), 1);

    EXPECT_EQ(RotationPath(data.paths, 9005), data.root.path() / "c/Dorvex/Spotfile/RF9005.dat");
    RotationEntry entry;
    entry.InUse = 1;
    entry.SpotNumber = 300;
    entry.Plays = -2;
    entry.Days = {1, 0, 0, 0, 0, 0, 1};
    RotationEntryFile(data.paths, 9005).write(2, entry);
    const std::string expected = std::string("\x01\x00\x2c\x01\xfe\xff\x00\x00", 8) +
                                 std::string("\x01\x00", 2) + std::string(10, '\0') +
                                 std::string("\x01\x00", 2);
    EXPECT_EQ(bytesAt(RotationPath(data.paths, 9005), 22, 22), expected);
    EXPECT_EQ(RotationEntryFile(data.paths, 9005).read(2), entry);
}

}  // namespace
}  // namespace dvx
