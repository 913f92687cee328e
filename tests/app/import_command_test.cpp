#include <gtest/gtest.h>
#include <sndfile.h>

#include <sstream>

#include "app/command_verbs.h"
#include "library/catalogue_text.h"
#include "library/import_rig.h"

namespace dvx {
namespace {

using test::toneBetweenSilences;

// The verbs in this process, on a data root of their own, with the sources beside it.
struct CommandRig {
    int run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"dorvexia", "--data-root", folder.path().string()});
        std::ostringstream outStream;
        std::ostringstream errStream;
        const int status = runCommandVerb(arguments, files, {outStream, errStream});
        out = outStream.str();
        err = errStream.str();
        return status;
    }
    std::string source(const std::string& name, double hertz = 440) {
        test::writeSound(folder.path() / name,
                         test::joined(test::constant(0, 22050), test::sine(hertz, 44100, 9000)));
        return (folder.path() / name).string();
    }
    MusicRecord music(int number) const {
        RecordFile file(paths.musicFolder() / "Music.dat", kMusicRecordLength);
        return MusicCatalogue(file, paths).read(number);
    }
    SpotRecord spot(int number) const {
        RecordFile file(paths.spotFolder() / "Spotfile.dat", kSpotRecordLength);
        return SpotCatalogue(file, paths).read(number);
    }
    // Files left in the library folders that are neither catalogues nor numbered wave files.
    int partialFiles() const {
        int count = 0;
        for (const auto& folder : {paths.spotFolder(), paths.musicFolder()}) {
            for (const auto& entry : std::filesystem::directory_iterator(folder)) {
                count += entry.path().extension() == ".partial" ? 1 : 0;
            }
        }
        return count;
    }

    test::TempFolder folder;
    Paths paths{folder.path()};
    SndfileSoundFiles files;
    std::string out;
    std::string err;
};

TEST(ImportCommand, ABatchImportsEveryGoodFileAndNothingOfAFailedOne) {
    CommandRig rig;
    const std::string good = rig.source("good.wav");
    const std::string silent = (rig.folder.path() / "silent.wav").string();
    test::writeSound(silent, test::constant(0, 44100));
    test::writeFile(rig.folder.path() / "junk.mp3", "not a sound file");
    const std::string junk = (rig.folder.path() / "junk.mp3").string();

    EXPECT_EQ(rig.run({"import", "--spot", "--fade", "3", good, silent, junk}), 1);
    EXPECT_EQ(rig.out, good + " -> spot 1 \"(No Name 001 ****)\" 00:02\n");
    EXPECT_NE(rig.err.find(silent + ": not imported: Nothing in"), std::string::npos) << rig.err;
    EXPECT_NE(rig.err.find(junk + ": not imported: The sound file"), std::string::npos) << rig.err;
    EXPECT_EQ(rig.spot(1).Status, kSpotActive);
    EXPECT_NE(rig.spot(2).Status, kSpotReserved);
    EXPECT_FALSE(std::filesystem::exists(rig.paths.spotFolder() / "SF0002.wav"));
    EXPECT_EQ(rig.partialFiles(), 0);
    // The spot's line reached the record log when the run ended.
    EXPECT_NE(test::fileText(rig.paths.logsFolder() / "record.log").find("(No Name 001 ****)"),
              std::string::npos);

    EXPECT_EQ(rig.run({"import", "--spot", "--number", "1", good}), 1);
    EXPECT_NE(rig.err.find("SpotFile 1 (No Name 001 ****) is in use."), std::string::npos);
    EXPECT_EQ(rig.run({"import", "--music", "--autostop", "00:02", "--fade", "2", good}), 2);
}

TEST(ImportCommand, SoundAlreadyInTheCatalogueIsSkippedNamingItsEntry) {
    CommandRig rig;
    const std::string first = rig.source("first.wav");
    ASSERT_EQ(rig.run({"import", "--music", first}), 0) << rig.err;
    // The same sound in another container and under another name.
    const auto copy = rig.folder.path() / "copy.au";
    test::writeEncoded(copy, test::readSound(first), SF_FORMAT_AU | SF_FORMAT_PCM_16);

    EXPECT_EQ(rig.run({"import", "--music", copy.string()}), 0) << rig.err;
    EXPECT_EQ(rig.out, copy.string() +
                           ": skipped: its sound is already music 1 \"(New Entry 1)\" "
                           "(--allow-duplicates imports it again)\n");
    EXPECT_NE(rig.music(2).Status, kMusicActive);
    EXPECT_EQ(rig.run({"import", "--music", "--allow-duplicates", copy.string()}), 0);
    EXPECT_EQ(rig.music(2).Status, kMusicActive);
}

TEST(ImportCommand, TitlesFromTagsOrFromTheFileName) {
    CommandRig rig;
    const auto tagged = rig.folder.path() / "track01.mp3";
    test::writeEncoded(tagged, toneBetweenSilences(0.5, 1, 0),
                       SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, false, "Morning Song",
                       "The Early Birds");
    const std::string named = rig.source("Night Owls - Evening Song.wav", 330);
    const std::string plain = rig.source("plain.wav", 550);
    ASSERT_EQ(rig.run({"import", "--music", "--title-from-tags", "--category", "B", tagged.string(),
                       named, plain}),
              0)
        << rig.err;
    const MusicRecord first = rig.music(1);
    EXPECT_EQ(first.Title.substr(0, 13) + "|" + first.Artist.substr(0, 15),
              "Morning Song |The Early Birds");
    EXPECT_EQ(rig.music(2).Title.substr(0, 13) + "|" + rig.music(2).Artist.substr(0, 10),
              "Evening Song |Night Owls");
    EXPECT_EQ(rig.music(3).Title.substr(0, 14), "(New Entry 3) ");
    EXPECT_EQ(rig.music(3).Category, "B ");
}

TEST(ImportCommand, ImportsAtOnceIntoOneCatalogueNeverShareANumber) {
    // Short files, so that the two programs spend their time choosing numbers side by side.
    CommandRig rig;
    constexpr int kFiles = 60;
    std::string music[2];
    std::string spots[2];
    for (int i = 0; i < kFiles; ++i) {
        const auto name = [&](const char* kind) { return kind + std::to_string(i) + ".wav"; };
        test::writeSound(rig.folder.path() / name("m"), test::sine(100 + 10 * i, 2048, 9000));
        test::writeSound(rig.folder.path() / name("s"), test::sine(105 + 10 * i, 2048, 9000));
        music[i % 2] += " " + name("m");
        spots[i % 2] += " " + name("s");
    }
    std::string command = "cd '" + rig.folder.path().string() + "'";
    for (int i = 0; i < 2; ++i) {
        const std::string program = std::string(DORVEXIA_PROGRAM) + " --data-root .";
        command += " && { " + program + " import --music" + music[i] + " >/dev/null & " + program +
                   " import --spot" + spots[i] + " >/dev/null & }";
    }
    ASSERT_EQ(std::system((command + " && wait").c_str()), 0);
    for (int number = 1; number <= kFiles; ++number) {
        ASSERT_EQ(rig.music(number).Status, kMusicActive) << "music " << number;
        ASSERT_EQ(rig.spot(number).Status, kSpotActive) << "spot " << number;
        const std::string file = zeroPadded(number, 4) + ".wav";
        ASSERT_TRUE(std::filesystem::exists(rig.paths.musicFolder() / ("MF" + file)));
        ASSERT_TRUE(std::filesystem::exists(rig.paths.spotFolder() / ("SF" + file)));
    }
    EXPECT_EQ(rig.partialFiles(), 0);
}

TEST(NormalizeCommand, NormalisesAnActiveSpotAndRefusesOthers) {
    CommandRig rig;
    ASSERT_EQ(rig.run({"import", "--spot", rig.source("spot.wav")}), 0) << rig.err;
    EXPECT_EQ(rig.run({"normalize", "--spot", "1", "--percent", "50"}), 0) << rig.err;
    EXPECT_EQ(rig.out, "spot 1: peak 9000 -> 16384 (50 % of full scale)\n");
    EXPECT_EQ(rig.run({"normalize", "--spot", "2", "--percent", "50"}), 1);
    EXPECT_EQ(rig.err, "spot 2: not normalised: Not an active sound file.\n");
    EXPECT_EQ(rig.run({"normalize", "--spot", "1"}), 2);
}

}  // namespace
}  // namespace dvx
