#include <gtest/gtest.h>
#include <pthread.h>
#include <vector>

#include "base/EarlyWork.h"
#include "app/Game.h"

// What each job saw: the order the jobs ran in, and on which thread.
static std::vector<int> s_Ran;
static std::vector<pthread_t> s_On;

static void Record(void* number)
{
    s_Ran.push_back(*static_cast<int*>(number));
    s_On.push_back(pthread_self());
}

// The jobs queued before the start run in order on one helper thread; one
// queued after it runs on the thread that waits for it.
TEST(EarlyWork, RunsQueuedJobsInOrderOnAHelperAndLaterOnesOnTheWaiter)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    int first = 1;
    int second = 2;
    int late = 3;
    QueueEarlyJob(Record, &first);
    QueueEarlyJob(Record, &second);
    EXPECT_FALSE(EarlyWorkStarted());
    StartEarlyWork();
    // The environment is not the game's to change once the helper may read it.
    EXPECT_TRUE(EarlyWorkStarted());
    EXPECT_DEATH(Game().Configure(), "before any helper thread starts");
    QueueEarlyJob(Record, &late);
    EXPECT_TRUE(WaitForEarlyJob(&second));
    ASSERT_EQ(s_Ran, (std::vector<int>{1, 2}));
    EXPECT_TRUE(pthread_equal(s_On[0], s_On[1]));
    EXPECT_FALSE(pthread_equal(s_On[0], pthread_self()));
    EXPECT_TRUE(WaitForEarlyJob(&first));
    EXPECT_TRUE(WaitForEarlyJob(&late));
    ASSERT_EQ(s_Ran, (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(pthread_equal(s_On[2], pthread_self()));
    // Each job once; data never queued, or already taken, is no job.
    EXPECT_FALSE(WaitForEarlyJob(&late));
    int never = 4;
    EXPECT_FALSE(WaitForEarlyJob(&never));
    EXPECT_EQ(s_Ran.size(), 3u);
}
