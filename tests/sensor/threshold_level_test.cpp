#include "sensor/threshold_level.h"

#include <gtest/gtest.h>

#include <cmath>

namespace dvx {
namespace {

TEST(ThresholdLevel, ReadsInWholeDbfsAcrossTheWholeRange) {
    EXPECT_EQ(thresholdDbfsText(330), "\u221240 dBFS");  // -39.94
    EXPECT_EQ(thresholdDbfsText(3277), "\u221220 dBFS");
    EXPECT_EQ(thresholdDbfsText(1), "\u221290 dBFS");
    EXPECT_EQ(thresholdDbfsText(32767), "0 dBFS");  // -0.0003: no sign on a zero
    EXPECT_EQ(thresholdDbfsText(0), "\u2212\u221e dBFS");

    EXPECT_NEAR(thresholdDbfs(16384), -6.0206, 1e-4);
    EXPECT_TRUE(std::isinf(thresholdDbfs(0)) && thresholdDbfs(0) < 0);
}

}  // namespace
}  // namespace dvx
