#include "app/FramePacer.h"

#include <gtest/gtest.h>

static const long long MS = 1000000;
static const long long SECOND = 1000 * MS;

TEST(FramePacer, QuickPassesWaitOutTheirSlotsWithoutDrift)
{
    FramePacer pacer(60);
    pacer.m_StartNs = 0;
    // Passes of 5 ms, each followed by its wait: 600 slots end at exactly 10 s.
    long long now = 0;
    for (int i = 0; i < 600; ++i) {
        now += 5 * MS;
        long long wait = pacer.EndPassAt(now);
        ASSERT_GT(wait, 0) << i;
        ASSERT_LT(wait, 12 * MS) << i;
        now += wait;
    }
    EXPECT_EQ(now, 10 * SECOND);
}

TEST(FramePacer, ALatePassStartsANewSlotWithoutCatchingUp)
{
    FramePacer pacer(60);
    pacer.m_StartNs = 0;
    EXPECT_EQ(pacer.EndPassAt(50 * MS), 0);  // a stall of three slots
    // The next pass has a whole slot of its own from where the stall ended.
    EXPECT_EQ(pacer.EndPassAt(55 * MS), 50 * MS + SECOND / 60 - 55 * MS);
    // Slow passes of 20 ms never wait.
    EXPECT_EQ(pacer.EndPassAt(50 * MS + SECOND / 60 + 20 * MS), 0);
    EXPECT_EQ(pacer.EndPassAt(50 * MS + SECOND / 60 + 40 * MS), 0);
}
