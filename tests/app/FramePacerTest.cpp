#include "app/FramePacer.h"

#include <gtest/gtest.h>
#include <algorithm>

#include "app/display/DisplayRate.h"

static const long long MS = 1000000;
static const long long SECOND = 1000 * MS;

// Frames drawn at a steady rate on a fake clock, for ten seconds.
struct TickCount {
    long long m_Ticks = 0;
    int m_MostTicksInAFrame = 0;
    int m_FewestTicksInAFrame = 1000;
};

static TickCount DrawFramesFor10Seconds(int framesPerSecond)
{
    FramePacer pacer(60, 0);
    TickCount run;
    float previousBlend = 0.0f;
    for (long long frame = 0; frame * SECOND / framesPerSecond < 10 * SECOND; ++frame) {
        long long now = frame * SECOND / framesPerSecond;
        int ticks = pacer.TakeTicksAt(now);
        float blend = pacer.BlendAt(now);
        EXPECT_TRUE(blend >= 0.0f && blend <= 1.0f) << framesPerSecond << " fps, frame " << frame;
        if (ticks == 0) {
            // No tick between two frames: the later one stands further on.
            EXPECT_GT(blend, previousBlend) << framesPerSecond << " fps, frame " << frame;
        }
        previousBlend = blend;
        run.m_Ticks += ticks;
        run.m_MostTicksInAFrame = std::max(run.m_MostTicksInAFrame, ticks);
        if (frame > 0) {  // the first frame runs the first tick alone
            run.m_FewestTicksInAFrame = std::min(run.m_FewestTicksInAFrame, ticks);
        }
    }
    return run;
}

TEST(FramePacer, RunsSixtyTicksASecondAtEveryFrameRateFromFifteenUp)
{
    for (int fps : {15, 30, 60, 144, 240}) {
        TickCount run = DrawFramesFor10Seconds(fps);
        EXPECT_NEAR(run.m_Ticks / 10.0, 60.0, 0.5) << fps << " fps";
        EXPECT_LE(run.m_MostTicksInAFrame, 4) << fps << " fps";
    }
    // Faster than the ticks, a frame runs one tick or none.
    TickCount fast = DrawFramesFor10Seconds(144);
    EXPECT_EQ(fast.m_FewestTicksInAFrame, 0);
    EXPECT_EQ(fast.m_MostTicksInAFrame, 1);
    // Before any tick a frame shows things as they stand; then a quarter of
    // a tick after the first, a quarter of the way.
    FramePacer pacer(60, 0);
    EXPECT_EQ(pacer.BlendAt(0), 1.0f);
    EXPECT_EQ(pacer.TakeTicksAt(0), 1);
    EXPECT_NEAR(pacer.BlendAt(SECOND / 240), 0.25f, 1e-4f);
    // Below 15 frames a second, every frame runs 4 ticks and the game slows.
    TickCount slow = DrawFramesFor10Seconds(10);
    EXPECT_EQ(slow.m_FewestTicksInAFrame, 4);
    EXPECT_EQ(slow.m_MostTicksInAFrame, 4);
}

// A display whose swap waits for the next refresh of 144 Hz, drawn by a
// machine that needs 1 ms a frame: once the probe has seen it, the loop
// never waits itself and every refresh gets a frame.
TEST(FramePacer, LetsAWaitingSwapPaceTheFramesAndPacesThemItselfOtherwise)
{
    const long long period = SECOND / 144;
    FramePacer vsync(144, 0);
    long long now = 0;
    int framesInTheLastSecond = 0;
    for (int frame = 1; now < 10 * SECOND; ++frame) {
        long long wait = vsync.EndFrameAt(now);
        if (frame > 30) {
            EXPECT_EQ(wait, 0) << frame;
        }
        now = ((now + wait + 1 * MS) / period + 1) * period;
        framesInTheLastSecond += now > 9 * SECOND ? 1 : 0;
    }
    EXPECT_EQ(vsync.m_Swap, FramePacer::SWAP_WAITS);
    EXPECT_NEAR(framesInTheLastSecond, 144, 2);

    // Swaps that do not wait, on a machine drawing a frame in 5 ms: frames
    // never come faster than the refresh rate, here 60 a second.
    FramePacer free(60, 0);
    now = 0;
    int frames = 0;
    while (now < 10 * SECOND) {
        now += 5 * MS;
        long long wait = free.EndFrameAt(now);
        ASSERT_TRUE(wait >= 0 && wait <= 20 * MS) << frames;
        now += wait;
        ++frames;
    }
    EXPECT_EQ(free.m_Swap, FramePacer::SWAP_DOES_NOT_WAIT);
    EXPECT_NEAR(frames, 600, 20);

    // A machine that happens to draw at 30 frames a second fools the probe;
    // once its frames come faster than a waiting swap allows, the pacer
    // paces them after all.
    FramePacer fooled(60, 0);
    for (int frame = 1; frame <= 30; ++frame) {
        fooled.EndFrameAt(frame * SECOND / 30);
    }
    EXPECT_EQ(fooled.m_Swap, FramePacer::SWAP_WAITS);
    now = SECOND;
    for (int frame = 0; frame < 100 && fooled.m_Swap == FramePacer::SWAP_WAITS; ++frame) {
        now += 5 * MS;
        fooled.EndFrameAt(now);
    }
    EXPECT_EQ(fooled.m_Swap, FramePacer::SWAP_DOES_NOT_WAIT);
    EXPECT_LT(now, SECOND + 300 * MS);
    // An unreadable refresh rate counts as 60. Rates come from the modes'
    // timings: 1080p at 60 Hz and 144 Hz, a double-scanned 320 x 240.
    EXPECT_EQ(FramePacer(0, 0).m_RefreshHz, 60);
    EXPECT_NEAR(ModeRefreshHz(148500000, 2200, 1125, false, false), 60.0, 1e-9);
    EXPECT_NEAR(ModeRefreshHz(346500000, 2080, 1157, false, false), 143.98, 0.01);
    EXPECT_NEAR(ModeRefreshHz(12587500, 400, 262, true, false), 60.05, 0.01);
    EXPECT_EQ(ModeRefreshHz(0, 0, 0, false, false), 0.0);
}
