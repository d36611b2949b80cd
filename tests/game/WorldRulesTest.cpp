#include "game/World.h"

#include <cstdlib>
#include <gtest/gtest.h>

#include "game/Layout.h"

TEST(WorldPlacement, FractionsSpanTheSquareEndToEnd)
{
    EXPECT_FLOAT_EQ(PlaceAcross(0.0f, 16384.0f), -8192.0f);
    EXPECT_FLOAT_EQ(PlaceAcross(1.0f, 16384.0f), 8192.0f);
    EXPECT_FLOAT_EQ(PlaceAcross(0.5f, 16384.0f), 0.0f);
    // A draw of 32767 is exactly 1, so +L/2 is reachable.
    bool sawZero = false;
    bool sawOne = false;
    LayoutRandom random(7);
    for (int i = 0; i < 2000000 && !(sawZero && sawOne); ++i) {
        float r = random.Fraction();
        ASSERT_GE(r, 0.0f);
        ASSERT_LE(r, 1.0f);
        sawZero = sawZero || r == 0.0f;
        sawOne = sawOne || r == 1.0f;
    }
    EXPECT_TRUE(sawZero);
    EXPECT_TRUE(sawOne);
}

// A layout's numbers are glibc's rand after srand(layout), whatever the C
// library; new layouts are drawn within 1..99999 and never the one flown.
TEST(WorldPlacement, LayoutsDrawTheSameNumbersEverywhere)
{
    for (unsigned int layout : {1u, 2u, 4242u, 99999u}) {
        srand(layout);
        LayoutRandom random(layout);
        for (int i = 0; i < 1000; ++i) {
            ASSERT_EQ(random.Next(), rand()) << "layout " << layout << ", draw " << i;
        }
    }
    EXPECT_EQ(DrawLayout(0, 0), 1);
    EXPECT_EQ(DrawLayout(99998, 0), 99999);
    EXPECT_EQ(DrawLayout(99999, 0), 1);
    EXPECT_EQ(DrawLayout(99998, 99999), 1);
    EXPECT_EQ(DrawLayout(41, 42), 43);
}
