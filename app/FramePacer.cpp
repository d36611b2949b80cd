// Pacing of the main loop on the monotonic clock.
#include "app/FramePacer.h"

#include <cerrno>
#include <ctime>

static const long long NS_PER_SECOND = 1000000000LL;

FramePacer::FramePacer(int passesPerSecond)
    : m_StartNs(NowNs()), m_Slots(0), m_PassesPerSecond(passesPerSecond)
{
}

long long FramePacer::EndPassAt(long long nowNs)
{
    ++m_Slots;
    // Worked from the slot count each time: 1/60 s is not a whole number of
    // nanoseconds, and adding a rounded step would drift.
    long long deadline = m_StartNs + m_Slots * NS_PER_SECOND / m_PassesPerSecond;
    if (nowNs >= deadline) {
        m_StartNs = nowNs;
        m_Slots = 0;
        return 0;
    }
    return deadline - nowNs;
}

void FramePacer::EndPass()
{
    long long now = NowNs();
    long long waitNs = EndPassAt(now);
    if (waitNs <= 0) {
        return;
    }
    long long deadline = now + waitNs;
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
