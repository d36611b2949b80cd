#include "app/FramePacer.h"

#include <gtest/gtest.h>

static const long long MS = 1000000;
static const long long SECOND = 1000 * MS;

TEST(FramePacer, WaitsOutQuickPassesWithoutDriftAndNeverCatchesUp)
{
    FramePacer pacer(60);
    pacer.m_StartNs = 0;
    // Passes of 5 ms, each followed by its wait: 600 slots end at exactly 10 s.
    long long now = 0;
    for (int i = 0; i < 600; ++i) {
        now += 5 * MS;
        long long wait = pacer.EndPassAt(now);
        ASSERT_TRUE(wait > 0 && wait < 12 * MS) << i;
        now += wait;
    }
    EXPECT_EQ(now, 10 * SECOND);
    // A stall of three slots does not wait; the next pass has a whole slot
    // of its own from where the stall ended, not a hurried one.
    EXPECT_EQ(pacer.EndPassAt(now + 50 * MS), 0);
    EXPECT_EQ(pacer.EndPassAt(now + 55 * MS), SECOND / 60 - 5 * MS);
}
