#include "game/World.h"

#include <cstdlib>
#include <gtest/gtest.h>

TEST(WorldPlacement, FractionsSpanTheSquareEndToEnd)
{
    EXPECT_FLOAT_EQ(PlaceAcross(0.0f, 16384.0f), -8192.0f);
    EXPECT_FLOAT_EQ(PlaceAcross(1.0f, 16384.0f), 8192.0f);
    EXPECT_FLOAT_EQ(PlaceAcross(0.5f, 16384.0f), 0.0f);
    // A draw of 32767 is exactly 1, so +L/2 is reachable.
    bool sawZero = false;
    bool sawOne = false;
    srand(7);
    for (int i = 0; i < 2000000 && !(sawZero && sawOne); ++i) {
        float r = RandomFraction();
        ASSERT_GE(r, 0.0f);
        ASSERT_LE(r, 1.0f);
        sawZero = sawZero || r == 0.0f;
        sawOne = sawOne || r == 1.0f;
    }
    EXPECT_TRUE(sawZero);
    EXPECT_TRUE(sawOne);
}
