#include "platform/sample_ring.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <vector>

namespace dvx {
namespace {

TEST(SampleRing, KeepsOrderAcrossManyWrapArounds) {
    SampleRing ring(10);
    std::int16_t next = 0;
    std::int16_t expected = 0;
    for (int round = 0; round < 500; ++round) {
        const std::size_t size = 1 + round % 7;
        std::vector<std::int16_t> block;
        for (std::size_t i = 0; i < size; ++i) {
            block.push_back(next++);
        }
        if (!ring.write(block.data(), block.size())) {
            next = static_cast<std::int16_t>(next - size);  // did not fit: offer it again later
        }
        std::int16_t out[4] = {};
        const std::size_t got = ring.read(out, 1 + round % 4);
        for (std::size_t i = 0; i < got; ++i) {
            ASSERT_EQ(out[i], expected++) << "round " << round;
        }
    }
    EXPECT_GT(expected, 1000);  // well past the capacity many times over
}

TEST(SampleRing, OverflowRefusesTheWholeBlockAndKeepsWhatIsQueued) {
    SampleRing ring(8);
    const std::int16_t first[6] = {1, 2, 3, 4, 5, 6};
    const std::int16_t second[4] = {7, 8, 9, 10};
    ASSERT_TRUE(ring.write(first, 6));
    EXPECT_FALSE(ring.write(second, 4));  // only 2 free: a partial buffer would tear a frame
    EXPECT_EQ(ring.droppedSamples(), 4u);
    EXPECT_EQ(ring.available(), 6u);
    EXPECT_EQ(ring.freeSpace(), 2u);

    EXPECT_EQ(ring.discard(2), 2u);
    ASSERT_TRUE(ring.write(second, 4));  // fits now, wrapping round the end
    std::int16_t out[10] = {};
    ASSERT_EQ(ring.read(out, 10), 8u);
    const std::vector<std::int16_t> expected{3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_EQ(std::vector<std::int16_t>(out, out + 8), expected);
    EXPECT_EQ(ring.read(out, 10), 0u);

    ASSERT_TRUE(ring.write(first, 6));
    ring.reset();
    EXPECT_EQ(ring.available(), 0u);
    EXPECT_EQ(ring.freeSpace(), 8u);
}

TEST(SampleRing, OneProducerAndOneConsumerThreadPassEverySampleInOrder) {
    SampleRing ring(1000);
    constexpr int kTotal = 400000;
    std::thread producer([&] {
        std::vector<std::int16_t> block(64);
        int sent = 0;
        while (sent < kTotal) {
            const int size = std::min(kTotal - sent, 1 + sent % 64);
            for (int i = 0; i < size; ++i) {
                block[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(sent + i);
            }
            if (ring.write(block.data(), static_cast<std::size_t>(size))) {
                sent += size;
            } else {
                std::this_thread::yield();
            }
        }
    });
    int received = 0;
    bool inOrder = true;
    std::int16_t out[50];
    while (received < kTotal) {
        const std::size_t got = ring.read(out, 1 + received % 50);
        for (std::size_t i = 0; i < got; ++i) {
            inOrder = inOrder && out[i] == static_cast<std::int16_t>(received + i);
        }
        received += static_cast<int>(got);
        if (got == 0) {
            std::this_thread::yield();
        }
    }
    producer.join();
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(ring.available(), 0u);
}

}  // namespace
}  // namespace dvx
