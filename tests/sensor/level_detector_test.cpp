#include "sensor/level_detector.h"

#include <gtest/gtest.h>

#include "common/simulated_clock.h"

namespace dvx {
namespace {

TEST(LevelDetector, PeaksAreCombinedByBitwiseOrAgainstTheThreshold) {
    EXPECT_TRUE(LevelDetector::isLoud(64, 32, 90));   // 64 | 32 = 96
    EXPECT_FALSE(LevelDetector::isLoud(64, 64, 90));  // 64 | 64 = 64, not the larger of two
    EXPECT_TRUE(LevelDetector::isLoud(-64, 32, 90));  // magnitudes, not signed values
    EXPECT_TRUE(LevelDetector::isLoud(1, 0, 0));      // threshold 0: any non-zero sample
    EXPECT_FALSE(LevelDetector::isLoud(0, 0, 0));
    EXPECT_FALSE(LevelDetector::isLoud(32767, -32767, 32767));  // never louder than 32767
    EXPECT_FALSE(LevelDetector::isLoud(91, 0, 91));             // strictly greater
}

TEST(LevelDetector, OnlyLoudBuffersMoveTheLastSoundAndMinus32768CountsAsSilent) {
    SimulatedClock clock(2026, 3, 2, 36000);
    LevelDetector detector(clock);
    detector.setThreshold(100);
    const double start = detector.lastSoundSteady();

    clock.advanceSeconds(2);
    detector.onBuffer(50, -60);
    EXPECT_EQ(detector.lastSoundSteady(), start);
    EXPECT_EQ(detector.peakLeft(), 50);
    EXPECT_EQ(detector.peakRight(), -60);

    detector.onBuffer(-32768, 5000);
    EXPECT_EQ(detector.lastSoundSteady(), start);
    EXPECT_EQ(detector.peakLeft(), 0);
    EXPECT_EQ(detector.peakRight(), 0);

    clock.advanceSeconds(1);
    detector.onBuffer(-2000, 10);
    EXPECT_DOUBLE_EQ(detector.lastSoundSteady(), start + 3);
}

}  // namespace
}  // namespace dvx
