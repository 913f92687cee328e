#include "library/normalize.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/audio_test_support.h"
#include "platform/sndfile_sound_files.h"

namespace dvx {
namespace {

TEST(Normalize, TheSliderGivesWholePercentagesWithHalvesToEven) {
    EXPECT_EQ(normalizePercent(kNormalizeOpenPosition), 56);
    EXPECT_EQ(normalizePercent(8192), 50);
    EXPECT_EQ(normalizePercent(16384), 100);
    EXPECT_EQ(normalizePercent(0), 0);
    EXPECT_EQ(normalizePercent(2048), 12);  // 12.5
    EXPECT_EQ(normalizePercent(6144), 38);  // 37.5
    EXPECT_EQ(normalizeLevelText(8192), "-6.02 dB");
}

TEST(Normalize, ThePeakReachesTheShareOfFullScaleWithTheShapeAndLengthKept) {
    test::TempFolder folder;
    SndfileSoundFiles files;
    test::Sound quiet = test::sine(440, 3 * 44100, 3000);
    quiet.samples[1001] = -3277;  // the peak
    const auto path = folder.path() / "SF0007.wav";
    test::writeSound(path, quiet);

    const NormalizeOutcome outcome = NormalizeFile(files, path, normalizePercent(9191));
    ASSERT_TRUE(outcome.done) << outcome.message;
    EXPECT_EQ(outcome.peakBefore, 3277);
    const test::Sound loud = test::readSound(path);
    ASSERT_EQ(loud.samples.size(), quiet.samples.size());
    EXPECT_NEAR(loud.samples[1001], -std::lround(0.56 * 32767), 1);
    for (std::size_t i = 0; i < quiet.samples.size(); ++i) {
        ASSERT_NEAR(loud.samples[i], quiet.samples[i] * 18350.0 / 3277, 1) << "sample " << i;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(Normalize, RefusalsLeaveTheFileByteForByte) {
    test::TempFolder folder;
    SndfileSoundFiles files;
    const auto spot = folder.path() / "SF0001.wav";
    const auto silent = folder.path() / "SF0002.wav";
    test::writeSound(spot, test::sine(440, 44100, 3000));
    test::writeSound(silent, test::constant(0, 44100));
    const auto before = test::fileBytes(spot);
    const auto silentBefore = test::fileBytes(silent);

    for (const int percent : {0, 101}) {
        const NormalizeOutcome outcome = NormalizeFile(files, spot, percent);
        EXPECT_FALSE(outcome.done);
        EXPECT_NE(outcome.message.find("1 to 100 %"), std::string::npos) << outcome.message;
    }
    const NormalizeOutcome quiet = NormalizeFile(files, silent, 56);
    EXPECT_NE(quiet.message.find("silent"), std::string::npos) << quiet.message;
    const NormalizeOutcome missing = NormalizeFile(files, folder.path() / "SF0003.wav", 56);
    EXPECT_NE(missing.message.find("SF0003.wav"), std::string::npos) << missing.message;
    EXPECT_EQ(test::fileBytes(spot), before);
    EXPECT_EQ(test::fileBytes(silent), silentBefore);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2);
}

}  // namespace
}  // namespace dvx
