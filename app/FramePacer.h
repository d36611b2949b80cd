// FramePacer: the main loop's clock. The rules run in ticks, 60 a second of
// real time on the monotonic clock whatever the drawing does; every speed,
// turn and recharge of the game is an amount per tick. Frames are drawn
// between ticks, showing the moving things part of the way from their
// previous tick to their last (the blend). A frame runs the ticks that real
// time asks for, but at most MAX_TICKS_PER_FRAME: a machine drawing fewer
// than 15 frames a second slows the game down rather than spiralling.
//
// Frames come as often as the display shows them. Where the swap waits for
// the display's refresh, that wait paces them; where it does not (Xvfb, VNC,
// a driver told to ignore vsync), the pacer sleeps so that frames come at
// most at the display's refresh rate: each frame is drawn and handed to the
// renderer first, and its swap then held to its slot, so that how long a
// frame takes to draw moves when it is drawn, not when it is shown (a
// software renderer finishes the frame during that wait). Which of the two holds is worked out
// from the first frames, held to one every one and a half refresh periods:
// a waiting swap turns those gaps into whole periods. Clock readings are
// nanoseconds throughout.
#ifndef APP_FRAME_PACER_H
#define APP_FRAME_PACER_H

class FramePacer {
public:
    static const int TICKS_PER_SECOND = 60;
    static const int MAX_TICKS_PER_FRAME = 4;
    static const int DEFAULT_REFRESH_HZ = 60;

    enum SwapKind { SWAP_UNKNOWN, SWAP_WAITS, SWAP_DOES_NOT_WAIT };

    long long m_TickStartNs;      // when tick 0 was due
    long long m_Ticks;            // ticks since then: run, or given up when the game fell behind
    int m_RefreshHz;              // the display's refresh rate
    SwapKind m_Swap;
    int m_FramesEnded;            // frames ended so far, up to the end of the probe
    int m_AlignedGaps;            // probe: gaps between swaps that were whole refresh periods
    long long m_LastSwapNs;       // when the last frame's swap returned
    long long m_FrameStartNs;     // start of the current run of frame slots
    long long m_FrameSlots;       // slots ended since then
    long long m_WindowStartNs;    // SWAP_WAITS: start of the current quarter second
    int m_WindowFrames;           // frames ended in it
    long long m_SwapDueNs;        // the next frame's swap waits until then

    // The first tick is due at nowNs. A refresh rate of 0 (unknown) or an
    // implausible one counts as DEFAULT_REFRESH_HZ.
    FramePacer(int refreshHz, long long nowNs);

    // The ticks a frame starting at nowNs runs first, at most
    // MAX_TICKS_PER_FRAME, counted as taken. When real time asks for more,
    // one is left for the next frame and the rest are given up: the game
    // falls behind the clock instead.
    int TakeTicksAt(long long nowNs);
    // How far a frame at nowNs stands from the previous tick to the last, in
    // [0, 1]: the time since the last tick was due over a tick's length. 1
    // before any tick and while a tick is owed.
    float BlendAt(long long nowNs) const;

    // Ends a frame whose swap returned at nowNs. Returns how long the next
    // frame's swap waits: 0 where the swap waits for the display.
    long long EndFrameAt(long long nowNs);
    // Ends the frame whose swap just returned, as EndFrameAt.
    void EndFrame();
    // Sleeps, once the frame is drawn and flushed, until its swap is due.
    void SleepUntilSwapDue() const;

    // The monotonic clock.
    static long long NowNs();

private:
    long long TickDueNs(long long tick) const;
    void Probe(long long gapNs);
    long long WaitForSlot(long long nowNs, int halfPeriods);
    void WatchWaitingSwaps(long long nowNs);
};

#endif
