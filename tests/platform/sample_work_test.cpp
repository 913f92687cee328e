#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/level_tap.h"
#include "platform/volume_stage.h"
#include "platform/wave_helper.h"

namespace dvx {
namespace {

Peaks stereoPeaks(std::vector<std::int16_t> samples) {
    return WaveHelper::peaks(samples.data(), static_cast<int>(samples.size() / 2), 2);
}

TEST(WaveHelper, ReportsTheLargestSampleOfEachChannelWithItsSign) {
    EXPECT_EQ(stereoPeaks({10, -3, -200, 7, 150, 90}), (Peaks{-200, 90}));
    EXPECT_EQ(stereoPeaks({-32768, 5, 32767, -32767}), (Peaks{-32768, -32767}));
    EXPECT_EQ(stereoPeaks({-5, 5, 5, -5}), (Peaks{5, 5}));  // equal magnitude: the positive one
    EXPECT_EQ(stereoPeaks({}), (Peaks{0, 0}));

    // Long enough to use the vector lanes and the tail: the peak sits in the tail.
    std::vector<std::int16_t> longBuffer(2048 + 6, 1);
    longBuffer[2048 + 4] = -1234;  // left
    longBuffer[17] = 999;          // right, inside the lanes
    EXPECT_EQ(stereoPeaks(longBuffer), (Peaks{-1234, 999}));

    const std::vector<std::int16_t> mono{3, -32768, 12};
    EXPECT_EQ(WaveHelper::peaks(mono.data(), 3, 1), (Peaks{-32768, -32768}));

    // From a byte count: the trailing odd byte and half frame are not read.
    const std::vector<std::int16_t> raw{4, -9, 300, 1};
    EXPECT_EQ(WaveHelper::peaksOfBuffer(raw.data(), 7, 2), (Peaks{4, -9}));
    EXPECT_EQ(WaveHelper::peaksOfBuffer(raw.data(), 8, 2), (Peaks{300, -9}));
}

TEST(VolumeStage, ScalesByVolumeOver16384AndReadsBackAsSet) {
    VolumeStage fader;
    const std::vector<std::int16_t> in{32767, -32768, 3, -3, 1000};
    std::vector<std::int16_t> out(in.size());

    fader.applyTo(in.data(), out.data(), in.size());
    EXPECT_EQ(out, in);  // unity

    fader.setVolume(8192);
    fader.applyTo(in.data(), out.data(), in.size());
    EXPECT_EQ(out, (std::vector<std::int16_t>{16383, -16384, 1, -1, 500}));

    fader.setVolume(16384 + 249);  // a fade-in's last step overshoots
    EXPECT_EQ(fader.volume(), 16633);
    fader.applyTo(in.data(), out.data(), in.size());
    EXPECT_EQ(out, in);  // gain never above unity

    fader.setVolume(-50);
    out = in;
    fader.apply(out.data(), out.size());
    EXPECT_EQ(out, std::vector<std::int16_t>(in.size(), 0));
}

TEST(LevelTap, ReportsTheHighestLevelSinceTheLastReading) {
    LevelTap tap;
    tap.publish({-300, 20});
    tap.publish({100, -32768});
    EXPECT_EQ(tap.levels(), (LevelReading{300, 32768}));
    EXPECT_EQ(tap.levels(), (LevelReading{0, 0}));  // a reading starts afresh

    const std::vector<std::int16_t> buffer{5, -6, -70, 8};
    tap.feed(buffer.data(), 2, 2);
    EXPECT_EQ(tap.levels(), (LevelReading{70, 8}));
}

}  // namespace
}  // namespace dvx
