// Which of SDL's video drivers show the game: the invisible ones only when
// the player named them.
#include "app/display/DisplayCheck.h"

#include <gtest/gtest.h>

TEST(DisplayCheck, TakesAnInvisibleDriverOnlyWhenNamed)
{
    EXPECT_TRUE(ShowsTheGame("x11", NULL));
    EXPECT_TRUE(ShowsTheGame("wayland", "wayland"));
    EXPECT_TRUE(ShowsTheGame("kmsdrm", NULL));
    EXPECT_FALSE(ShowsTheGame("offscreen", NULL));
    EXPECT_FALSE(ShowsTheGame("offscreen", "x11"));
    EXPECT_FALSE(ShowsTheGame("dummy", "dummyish,x11"));
    EXPECT_TRUE(ShowsTheGame("dummy", "x11,Dummy"));
    EXPECT_TRUE(ShowsTheGame("offscreen", "offscreen"));
}
