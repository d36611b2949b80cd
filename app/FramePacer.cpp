// The main loop's ticks, blend and frame pacing on the monotonic clock.
#include "app/FramePacer.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <ctime>

static const long long NS_PER_SECOND = 1000000000LL;
// Refresh rates outside this range are misreadings.
static const int LOWEST_REFRESH_HZ = 20;
static const int HIGHEST_REFRESH_HZ = 1000;
// The first frames page in code and fill caches; their gaps say nothing.
static const int PROBE_SKIPPED_FRAMES = 2;
static const int PROBE_GAPS = 16;
static const int PROBE_ALIGNED_GAPS_NEEDED = 12;
static const double ALIGNMENT_TOLERANCE = 0.1;  // of a refresh period
static const int PROBE_HALF_PERIODS = 3;
// A swap that waits never lets more frames through than the display shows;
// a quarter second with a quarter more than that proves it does not wait.
static const long long WATCH_WINDOW_NS = NS_PER_SECOND / 4;
static const double WATCH_EXCESS = 1.25;

FramePacer::FramePacer(int refreshHz, long long nowNs)
    : m_TickStartNs(nowNs), m_Ticks(0), m_RefreshHz(refreshHz), m_Swap(SWAP_UNKNOWN), m_FramesEnded(0),
      m_AlignedGaps(0), m_LastSwapNs(nowNs), m_FrameStartNs(nowNs), m_FrameSlots(0), m_WindowStartNs(nowNs),
      m_WindowFrames(0), m_SwapDueNs(nowNs)
{
    if (m_RefreshHz < LOWEST_REFRESH_HZ || m_RefreshHz > HIGHEST_REFRESH_HZ) {
        m_RefreshHz = DEFAULT_REFRESH_HZ;
    }
}

long long FramePacer::TickDueNs(long long tick) const
{
    // Worked from the tick count each time: 1/60 s is not a whole number of
    // nanoseconds, and adding a rounded step would drift.
    return m_TickStartNs + tick * NS_PER_SECOND / TICKS_PER_SECOND;
}

int FramePacer::TakeTicksAt(long long nowNs)
{
    if (nowNs < m_TickStartNs) {
        return 0;
    }
    long long due = (nowNs - m_TickStartNs) * TICKS_PER_SECOND / NS_PER_SECOND + 1;
    long long ticks = std::min(due - m_Ticks, static_cast<long long>(MAX_TICKS_PER_FRAME));
    m_Ticks += ticks;
    // One tick still owed is the clock's jitter and is run next frame; more
    // means the machine cannot keep up, and those ticks are never run.
    if (due - m_Ticks > 1) {
        m_Ticks = due - 1;
    }
    return static_cast<int>(ticks);
}

float FramePacer::BlendAt(long long nowNs) const
{
    if (m_Ticks == 0) {
        return 1.0f;
    }
    double sinceLastTick = static_cast<double>(nowNs - TickDueNs(m_Ticks - 1));
    double blend = sinceLastTick * TICKS_PER_SECOND / NS_PER_SECOND;
    if (blend < 0.0) {
        return 0.0f;
    }
    return blend > 1.0 ? 1.0f : static_cast<float>(blend);
}

long long FramePacer::EndFrameAt(long long nowNs)
{
    long long gapNs = nowNs - m_LastSwapNs;
    m_LastSwapNs = nowNs;
    switch (m_Swap) {
    case SWAP_UNKNOWN:
        Probe(gapNs);
        if (m_Swap != SWAP_UNKNOWN) {
            m_FrameStartNs = nowNs;
            m_FrameSlots = 0;
            m_WindowStartNs = nowNs;
            return 0;
        }
        // While probing, frames come at most every one and a half periods:
        // a swap that waits turns such gaps into whole periods, one that
        // does not leaves them at one and a half, and the probe's frames
        // never outrun the display either way.
        return WaitForSlot(nowNs, PROBE_HALF_PERIODS);
    case SWAP_WAITS:
        WatchWaitingSwaps(nowNs);
        return 0;
    case SWAP_DOES_NOT_WAIT:
        return WaitForSlot(nowNs, 2);
    }
    return 0;
}

// Counts the gaps between swaps that are whole refresh periods (one or more)
// to within a tenth of a period; once enough gaps are seen, decides.
void FramePacer::Probe(long long gapNs)
{
    ++m_FramesEnded;
    if (m_FramesEnded <= PROBE_SKIPPED_FRAMES) {
        return;
    }
    double periods = static_cast<double>(gapNs) * m_RefreshHz / NS_PER_SECOND;
    double whole = std::floor(periods + 0.5);
    if (whole >= 1.0 && std::fabs(periods - whole) <= ALIGNMENT_TOLERANCE) {
        ++m_AlignedGaps;
    }
    if (m_FramesEnded == PROBE_SKIPPED_FRAMES + PROBE_GAPS) {
        m_Swap = m_AlignedGaps >= PROBE_ALIGNED_GAPS_NEEDED ? SWAP_WAITS : SWAP_DOES_NOT_WAIT;
    }
}

// Frames in slots of so many half refresh periods, counted from the start
// of the current run of on-time frames; a late frame starts a new run rather
// than making the next ones hurry.
long long FramePacer::WaitForSlot(long long nowNs, int halfPeriods)
{
    ++m_FrameSlots;
    long long deadline = m_FrameStartNs + m_FrameSlots * halfPeriods * NS_PER_SECOND / (2 * m_RefreshHz);
    if (nowNs >= deadline) {
        m_FrameStartNs = nowNs;
        m_FrameSlots = 0;
        return 0;
    }
    return deadline - nowNs;
}

// A probe can be fooled by a machine that happened to draw at a whole
// fraction of the refresh rate; frames coming faster than the display could
// show them prove the swap does not wait after all.
void FramePacer::WatchWaitingSwaps(long long nowNs)
{
    ++m_WindowFrames;
    if (nowNs - m_WindowStartNs < WATCH_WINDOW_NS) {
        return;
    }
    double most = WATCH_EXCESS * m_RefreshHz * static_cast<double>(nowNs - m_WindowStartNs) / NS_PER_SECOND;
    if (m_WindowFrames > most) {
        m_Swap = SWAP_DOES_NOT_WAIT;
        m_FrameStartNs = nowNs;
        m_FrameSlots = 0;
    }
    m_WindowStartNs = nowNs;
    m_WindowFrames = 0;
}

void FramePacer::EndFrame()
{
    long long now = NowNs();
    m_SwapDueNs = now + EndFrameAt(now);
}

void FramePacer::SleepUntilSwapDue() const
{
    const long long deadline = m_SwapDueNs;
    if (deadline <= NowNs()) {
        return;
    }
    timespec until = {static_cast<time_t>(deadline / NS_PER_SECOND), static_cast<long>(deadline % NS_PER_SECOND)};
    // Sleeps to an absolute time, so a signal that cuts the sleep short only
    // sends it back to the same deadline.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, NULL) == EINTR) {
    }
}

long long FramePacer::NowNs()
{
    timespec now = {0, 0};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * NS_PER_SECOND + now.tv_nsec;
}
