// Timer: the frame counter behind the overlay's frame rate. One exists; the
// rate is recomputed at most about once a second, as the average over the
// frames counted since the last computation.
#ifndef GAME_TIMER_H
#define GAME_TIMER_H

class Timer {
public:
    float m_Rate;           // frames per second, last computed; 0 at first
    float m_SampleTime;     // seconds, clock time of the last computation
    unsigned int m_Frames;  // frames counted since then
    float m_Now;            // seconds, clock time of the latest UpdateRate

    // The one timer, created at the first call and never destroyed.
    static Timer* Instance();

    virtual ~Timer() {}

    void CountFrame() { ++m_Frames; }
    // Reads SDL's millisecond clock and returns the current rate.
    float UpdateRate();
    // The same at a given clock reading, in milliseconds since SDL started.
    float UpdateRateAt(unsigned int ticksMs);

    Timer() : m_Rate(0.0f), m_SampleTime(0.0f), m_Frames(0), m_Now(0.0f) {}

private:
    Timer(const Timer&);
    Timer& operator=(const Timer&);
};

#endif
