#include "game/World.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

#include "sound/Sound.h"

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

TEST(WorldPlacement, TheSameSeedGivesTheSameDraws)
{
    std::vector<float> first;
    srand(1234);
    for (int i = 0; i < 80; ++i) {
        first.push_back(RandomFraction());
    }
    srand(1234);
    for (int i = 0; i < 80; ++i) {
        EXPECT_EQ(RandomFraction(), first[i]);
    }
}

TEST(SoundErrors, TextsByCode)
{
    EXPECT_STREQ(ErrorText(0), "No errors");
    EXPECT_STREQ(ErrorText(3), "Error initializing output device.");
    EXPECT_STREQ(ErrorText(9), "File not found");
    EXPECT_STREQ(ErrorText(10), "Unknown file format");
    EXPECT_STREQ(ErrorText(11), "Error loading file");
    EXPECT_STREQ(ErrorText(12), "Not enough memory ");
    EXPECT_STREQ(ErrorText(17), "Failed to allocate a new channel");
    EXPECT_STREQ(ErrorText(19), "Required Mediaplayer codec is not installed");
    EXPECT_STREQ(ErrorText(20), "Unknown error");
    EXPECT_STREQ(ErrorText(-1), "Unknown error");
    for (int code = 0; code < 20; ++code) {
        EXPECT_STRNE(ErrorText(code), "Unknown error") << code;
    }
}
