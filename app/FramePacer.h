// FramePacer: holds the main loop to at most a fixed number of passes a
// second. Every speed, turn and recharge of the game is an amount per pass,
// so a display that refreshes faster than 60 Hz, or a swap that does not
// wait for the refresh at all, would otherwise make the whole game faster.
// Slots are counted from the start of the current run of on-time passes on
// the monotonic clock, so waits neither drift nor pile up rounding errors.
#ifndef APP_FRAME_PACER_H
#define APP_FRAME_PACER_H

class FramePacer {
public:
    static const int PASSES_PER_SECOND = 60;

    long long m_StartNs;    // monotonic clock at the start of the first slot counted
    long long m_Slots;      // slots ended since then
    int m_PassesPerSecond;

    // The first slot starts now.
    explicit FramePacer(int passesPerSecond = PASSES_PER_SECOND);

    // Ends the current pass at the given clock reading and returns how long to
    // wait, in nanoseconds, for its slot to be over: 0 when the pass ran late,
    // in which case the next slot simply starts now (no passes to catch up).
    long long EndPassAt(long long nowNs);
    // Ends the current pass now and sleeps until its slot is over.
    void EndPass();

    // The monotonic clock, in nanoseconds.
    static long long NowNs();
};

#endif
