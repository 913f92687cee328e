#include "library/music_catalogue.h"

#include <gtest/gtest.h>

#include "library/catalogue_text.h"
#include "support/temp_folder.h"

namespace dvx {
namespace {

struct MusicFiles {
    test::TempFolder root;
    Paths paths{root.path()};
    RecordFile file{(std::filesystem::create_directories(paths.musicFolder()),
                     paths.musicFolder() / "Music.dat"),
                    kMusicRecordLength};
    MusicCatalogue catalogue{file, paths};
};

MusicRecord recording(int number) {
    MusicRecord record;
    record.Status = kMusicActive;
    record.Title = newMusicTitle(number);
    record.Length = "205";
    record.EOM = "190";
    record.Comp = kFillAllowed;
    record.Drive = 'C';
    record.Recorded = "261205";
    return record;
}

TEST(MusicCatalogue, RecordLayoutIsByteExact) {
    MusicFiles files;
    MusicRecord record = recording(3);
    record.Number = "A12";
    record.Cut = "7";
    record.Artist = "Artist";
    record.Album = "Album";
    record.Intro = "12";
    record.License = "ASCAP";
    record.StyleTempo = "Up";
    record.Category = "Aq";
    record.Class = 'B';
    files.catalogue.write(3, record);

    const std::string expected =
        std::string("1") + "A12 " + "7 " + "(New Entry 3)" + std::string(17, ' ') + "Artist" +
        std::string(19, ' ') + "Album" + std::string(20, ' ') + "205  " + "12 " + "ASCAP " + "Y" +
        "C" + "Up        " + "Aq" + "190  " + "261205" + "B" + std::string(1, '\0');
    const auto bytes = test::fileBytes(files.file.path());
    ASSERT_EQ(bytes.size(), 3u * 128u);
    EXPECT_EQ(std::string(bytes.begin() + 2 * 128, bytes.end()), expected);
    EXPECT_EQ(encodeMusicRecord(files.catalogue.read(3)), encodeMusicRecord(record));
}

TEST(MusicCatalogue, NewNumbersReuseDeletedSlotsButNotRestingOrArchived) {
    MusicFiles files;
    EXPECT_EQ(files.catalogue.nextFreeNumber(), 1);
    files.catalogue.write(1, recording(1));
    MusicRecord resting = recording(2);
    resting.Status = kMusicResting;
    files.catalogue.write(2, resting);
    MusicRecord archived = recording(3);
    archived.Status = kMusicArchive;
    files.catalogue.write(3, archived);
    EXPECT_EQ(files.catalogue.nextFreeNumber(), 4);  // one past the last record

    MusicRecord deleted = recording(2);
    deleted.Status = kMusicDeleted;
    files.catalogue.write(2, deleted);
    EXPECT_EQ(files.catalogue.nextFreeNumber(), 2);
}

TEST(MusicCatalogue, WaveFileFollowsTheEntrysDrive) {
    MusicFiles files;
    EXPECT_EQ(files.catalogue.wavePath(42, 'C'), files.root.path() / "c/Dorvex/Music/MF0042.wav");
    EXPECT_EQ(files.catalogue.wavePath(7, 'D'), files.root.path() / "d/Dorvex/Music/MF0007.wav");
    EXPECT_EQ(files.catalogue.wavePath(12345, 'c').filename(), "MF12345.wav");
    // A drive field that is not a letter means the data drive.
    EXPECT_EQ(files.catalogue.wavePath(7, '\0'), files.root.path() / "c/Dorvex/Music/MF0007.wav");

    MusicRecord onD = recording(7);
    onD.Drive = 'D';
    files.catalogue.write(7, onD);
    EXPECT_EQ(files.catalogue.wavePath(7), files.root.path() / "d/Dorvex/Music/MF0007.wav");
}

TEST(CatalogueText, NumbersAndDatesAsTheCataloguesStoreThem) {
    EXPECT_EQ(numericValue("205  "), 205.0);
    EXPECT_EQ(numericValue(" 1 2"), 12.0);
    EXPECT_DOUBLE_EQ(numericValue("12.5 "), 12.5);
    EXPECT_EQ(numericValue("abc"), 0.0);
    EXPECT_EQ(numericValue(std::string(5, '\0')), 0.0);
    EXPECT_EQ(numericValue("-3x"), -3.0);
    EXPECT_EQ(wholeSecondsValue("12.5"), 12);  // halves to even
    EXPECT_EQ(wholeSecondsValue("13.5"), 14);

    LocalDateTime day;
    day.year = 2026;
    day.month = 12;
    day.day = 5;
    EXPECT_EQ(recordedStamp(day), "261205");
    EXPECT_EQ(recordedDateText("261205"), "12/05/26");
}

}  // namespace
}  // namespace dvx
