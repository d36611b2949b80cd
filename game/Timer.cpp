// The frame-rate timer.
#include "game/Timer.h"

#include <SDL/SDL.h>

Timer* Timer::Instance()
{
    static Timer* instance = new Timer();
    return instance;
}

float Timer::UpdateRate()
{
    return UpdateRateAt(SDL_GetTicks());
}

float Timer::UpdateRateAt(unsigned int ticksMs)
{
    m_Now = static_cast<float>(ticksMs * 0.001);
    if (m_Now - m_SampleTime > 1.0f) {
        m_Rate = m_Frames / (m_Now - m_SampleTime);
        m_SampleTime = m_Now;
        m_Frames = 0;
    }
    return m_Rate;
}
