#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <tuple>

#include "common/simulated_clock.h"
#include "fill/rotation_evaluation.h"
#include "fill_test_data.h"
#include "library/catalogue_text.h"
#include "library/music_deletion.h"
#include "library/record_log.h"
#include "library/spot_deletion.h"
#include "settings/parameters.h"

namespace dvx {
namespace {

// Runs `work` on a thread of its own: a deletion or an evaluation that never ends fails the
// test run instead of hanging it.
template <typename Work>
auto withinTenSeconds(Work work) {
    auto result = std::async(std::launch::async, std::move(work));
    if (result.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        std::fprintf(stderr, "FAILED: still running after 10 s: an endless loop?\n");
        std::fflush(stderr);
        std::_Exit(1);
    }
    return result.get();
}

RotationEntry entry(int spot, std::int16_t plays, std::array<std::int16_t, 7> days,
                    std::int16_t InUse = 1) {
    RotationEntry made;
    made.InUse = InUse;
    made.SpotNumber = static_cast<std::int16_t>(spot);
    made.Plays = plays;
    made.Reserved = static_cast<std::int16_t>(100 + spot);
    made.Days = days;
    return made;
}

struct DeletionRig {
    DeletionRig() {
        for (const int number : {3, 5}) {
            data.addSpot(number, "Spot " + std::to_string(number), 20);
        }
    }

    // Rotation `number` with its name record in use (or not) and the given entries.
    void addRotation(int number, const std::string& name, std::int16_t InUse,
                     const std::vector<RotationEntry>& entries) {
        RotationNames(data.files.RFNames)
            .write(number - kRotationBase, RotationName{InUse, 30, name, 0, 0});
        RotationEntryFile file(data.paths, number);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            file.write(static_cast<int>(i) + 1, entries[i]);
        }
    }
    std::filesystem::path wave(int number) { return data.spots.wavePath(number); }
    std::string recordBytes(int number) {
        const Bytes raw = data.files.Spotfile.read(number);
        return std::string(raw.begin(), raw.end());
    }
    std::string logText() {
        return std::filesystem::exists(log.file()) ? test::fileText(log.file()) : "";
    }

    test::FillData data;
    Parameters parameters;
    SimulatedClock clock{2026, 12, 7, 12 * 3600};  // Monday
    test::RecordingErrorReporter errors;
    RecordLog log{data.paths, clock, errors};
    SpotDeletion deletion{SpotDeletion::Parts{data.files.Spotfile, data.files.RFNames, data.paths,
                                              parameters, clock, log, errors}};
};

TEST(SpotDeletion, RemovesTheSpotFromTheRotationsInUseOnlyAndFreesItsEntry) {
    DeletionRig rig;
    // Spot 7 with every field set, and a last byte that no writer of this program would leave.
    SpotRecord seven;
    seven.Status = kSpotActive;
    seven.Name = "Morning Promo";
    seven.Talent = "Ann";
    seven.Outcue = "see you there";
    seven.Length = seven.EOM = "30";
    seven.StartDate = "TFN";
    seven.StopDate = "TFN";
    seven.RecordDate = "12/01/26";
    seven.RotationRef = "9003";
    seven.SpotCat = 'P';
    Bytes before = encodeSpotRecord(seven);
    before[93] = 'x';
    rig.data.files.Spotfile.write(7, before);
    test::writeFile(rig.wave(7), "RIFF");

    const RotationEntry five = entry(5, 4, {1, 0, 1, 0, 1, 0, 1});
    const RotationEntry three = entry(3, 6, {0, 1, 1, 0, 0, 1, 0});
    rig.addRotation(9001, "Morning IDs", 1,
                    {five, entry(7, 1, {1, 1, 1, 1, 1, 1, 1}), entry(7, 2, {0, 0, 0, 0, 0, 0, 1}),
                     three, entry(9, 0, {1, 1, 0, 0, 0, 0, 0}, 0)});
    rig.addRotation(9002, "Old IDs", 0, {entry(7, 3, {1, 1, 1, 1, 1, 1, 1})});
    rig.addRotation(9003, "Station ID", 1, {entry(7, 5, {1, 1, 1, 1, 1, 1, 1})});
    RotationNames(rig.data.files.RFNames).write(4, RotationName{1, 0, "Empty", 0, 0});
    const auto sizeOf = [&](int rotation) {
        return std::filesystem::file_size(RotationPath(rig.data.paths, rotation));
    };
    const auto size9001 = sizeOf(9001);
    const auto size9003 = sizeOf(9003);
    const std::string untouched = test::fileText(RotationPath(rig.data.paths, 9002));

    // The question names the rotations in use that hold it.
    const auto question = rig.deletion.ask(7);
    ASSERT_TRUE(question);
    EXPECT_EQ(question->caption, "Delete Morning Promo?");
    EXPECT_EQ(question->uses,
              (std::vector<std::string>{"Used in rotations: 9001 Morning IDs, 9003 Station ID"}));

    const auto [deleted, played9001, played9003] = withinTenSeconds([&rig] {
        const bool done = rig.deletion.remove(7);
        RotationNames names(rig.data.files.RFNames);
        const LocalDateTime today = rig.clock.now();
        return std::tuple(done,
                          EvaluateRotation(9001, today, names, rig.data.spots, rig.data.paths),
                          EvaluateRotation(9003, today, names, rig.data.spots, rig.data.paths));
    });
    EXPECT_TRUE(deleted);
    EXPECT_TRUE(rig.errors.messages.empty()) << rig.errors.messages.front();

    // 9001 keeps 5 then 3 whole, with their days and plays (one of them played since, once);
    // nothing live follows them. Either may play; the rotation that held only 7 yields none.
    ASSERT_TRUE(played9001 == 5 || played9001 == 3) << played9001;
    EXPECT_EQ(played9003, 0);
    RotationEntry kept5 = five;
    RotationEntry kept3 = three;
    ++(played9001 == 5 ? kept5 : kept3).Plays;
    const std::vector<RotationEntry> left = rig.data.rotationRecords(9001);
    ASSERT_EQ(left.size(), 5u);
    EXPECT_EQ(left[0], kept5);
    EXPECT_EQ(left[1], kept3);
    for (std::size_t i = 2; i < left.size(); ++i) {
        EXPECT_NE(left[i].InUse, 1) << i;
        EXPECT_NE(left[i].SpotNumber, 7) << i;
    }
    EXPECT_EQ(sizeOf(9001), size9001);
    EXPECT_EQ(sizeOf(9003), size9003);
    EXPECT_EQ(test::fileText(RotationPath(rig.data.paths, 9002)), untouched);
    EXPECT_FALSE(std::filesystem::exists(RotationPath(rig.data.paths, 9004)));

    EXPECT_FALSE(std::filesystem::exists(rig.wave(7)));
    Bytes after = before;
    after[0] = '0';
    EXPECT_EQ(rig.recordBytes(7), std::string(after.begin(), after.end()));
    EXPECT_EQ(rig.logText(),
              "Morning Promo" + std::string(12, ' ') + "    7  Deleted 12/07/26 12:00:00\r\n");

    // A spot no longer active is not deleted twice.
    EXPECT_FALSE(rig.deletion.remove(7));
    EXPECT_EQ(rig.errors.messages.back(),
              "Spot 7 is not an active spot: there is nothing to delete.");
}

TEST(SpotDeletion, AWaveFileThatCannotBeDeletedChangesNothing) {
    DeletionRig rig;
    rig.addRotation(9001, "Sweepers", 1, {entry(5, 2, {1, 1, 1, 1, 1, 1, 1})});
    // A folder in the wave file's place: it cannot be removed as a file.
    std::filesystem::create_directories(rig.wave(5) / "inside");
    const std::string rotation = test::fileText(RotationPath(rig.data.paths, 9001));
    const std::string record = rig.recordBytes(5);

    EXPECT_FALSE(withinTenSeconds([&rig] { return rig.deletion.remove(5); }));
    ASSERT_EQ(rig.errors.messages.size(), 1u);
    EXPECT_NE(rig.errors.messages[0].find("Spot 5 was not deleted: its wave file"),
              std::string::npos)
        << rig.errors.messages[0];
    EXPECT_NE(rig.errors.messages[0].find("Nothing was changed."), std::string::npos);
    EXPECT_EQ(test::fileText(RotationPath(rig.data.paths, 9001)), rotation);
    EXPECT_EQ(rig.recordBytes(5), record);
    EXPECT_EQ(rig.logText(), "");
}

TEST(SpotDeletion, TellsWhichOfTodaysBreaksPlayTheSpot) {
    DeletionRig rig;
    rig.addRotation(9001, "Sweepers", 1, {entry(5, 0, {1, 1, 1, 1, 1, 1, 1})});
    rig.addRotation(9002, "IDs", 1, {entry(3, 0, {1, 1, 1, 1, 1, 1, 1})});
    // Slots 1 and 4 name music categories: their 5 is no spot.
    rig.parameters.ProgramEvent = {0, 5, 9001, 9001, 5, 9002, 5};
    rig.parameters.AltDayEnabled[2] = 1;  // Monday
    EXPECT_EQ(rig.deletion.uses(5, rig.clock.now()).breaks,
              (std::vector<BreakUse>{{2, 9001}, {3, 9001}, {6, 0}}));
    const auto question = rig.deletion.ask(5);
    ASSERT_TRUE(question);
    EXPECT_EQ(question->uses,
              (std::vector<std::string>{"Used in rotations: 9001 Sweepers",
                                        "Today's breaks that play it: Regular Sweeper (rotation "
                                        "9001), Regular ID (rotation 9001), Alternate ID (the "
                                        "spot itself)"}));

    // On a day without the alternate program its slots do not play.
    rig.parameters.AltDayEnabled[2] = 0;
    EXPECT_EQ(rig.deletion.uses(5, rig.clock.now()).breaks,
              (std::vector<BreakUse>{{2, 9001}, {3, 9001}}));
    // A rotation whose name is not in use does not count; then nothing is left to tell.
    EXPECT_EQ(rig.deletion.ask(3)->uses, (std::vector<std::string>{"Used in rotations: 9002 IDs"}));
    rig.addRotation(9002, "IDs", 0, {});
    EXPECT_TRUE(rig.deletion.ask(3)->uses.empty());
}

TEST(MusicDeletion, FreesOnlyTheStatusAndKeepsWhatWasWrittenSinceTheWindowReadIt) {
    test::FillData data;
    test::RecordingErrorReporter errors;
    data.addMusic(4, "Blue Moon", "Band", "A", 180);
    const std::filesystem::path file = data.music.wavePath(4);
    test::writeFile(file, "RIFF");
    ASSERT_EQ(musicDeleteQuestion(data.music, 4, errors), "Delete Blue Moon");

    // After the question was asked, the fill stamps the record (here: its last byte and EOM).
    Bytes stamped = data.files.Music.read(4);
    stamped[127] = '#';
    stamped[115] = '9';
    data.files.Music.write(4, stamped);

    EXPECT_TRUE(deleteMusicEntry(data.music, 4, file, errors));
    EXPECT_FALSE(std::filesystem::exists(file));
    Bytes expected = stamped;
    expected[0] = static_cast<std::uint8_t>(kMusicDeleted);
    EXPECT_EQ(data.files.Music.read(4), expected);
    EXPECT_TRUE(errors.messages.empty());

    // A file that cannot be deleted leaves the entry as it was; a missing one is no error.
    data.addMusic(5, "Red Sky", "Band", "A", 120);
    std::filesystem::create_directories(data.music.wavePath(5) / "inside");
    const Bytes held = data.files.Music.read(5);
    EXPECT_FALSE(deleteMusicEntry(data.music, 5, data.music.wavePath(5), errors));
    EXPECT_EQ(data.files.Music.read(5), held);
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_TRUE(deleteMusicEntry(data.music, 4, file, errors));
}

}  // namespace
}  // namespace dvx
