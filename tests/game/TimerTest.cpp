#include "game/Timer.h"

#include <gtest/gtest.h>

TEST(FrameTimer, RateIsZeroUntilTheClockPassesOneSecond)
{
    Timer timer;
    timer.CountFrame();
    EXPECT_EQ(timer.UpdateRateAt(500), 0.0f);
    timer.CountFrame();
    EXPECT_EQ(timer.UpdateRateAt(1000), 0.0f);  // exactly 1.0 s is not past it
}

TEST(FrameTimer, RateAveragesTheFramesSinceTheLastSample)
{
    Timer timer;
    // A slow start: one frame counted when the clock first reads 3 s.
    timer.CountFrame();
    EXPECT_NEAR(timer.UpdateRateAt(3000), 1.0f / 3.0f, 1e-6f);
    // Then 60 frames over the next 1.5 s; the rate holds until a second passes.
    for (int i = 0; i < 60; ++i) {
        timer.CountFrame();
        float rate = timer.UpdateRateAt(3000 + 25 * (i + 1));
        if (25 * (i + 1) <= 1000) {
            EXPECT_NEAR(rate, 1.0f / 3.0f, 1e-6f) << i;
        }
    }
    // At 4.025 s, 41 frames had passed over 1.025 s.
    EXPECT_NEAR(timer.m_Rate, 41.0f / 1.025f, 0.01f);
}
