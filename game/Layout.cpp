// The layouts' numbers and their random sequence.
#include "game/Layout.h"

// Numbers thrown away after seeding, as glibc throws them.
static const int WARM_UP = 310;

LayoutRandom::LayoutRandom(unsigned int seed)
    : m_Index(0)
{
    // The first 31 from a multiplicative generator (Schrage's method keeps
    // 16807 * x modulo 2^31 - 1 within 32 bits).
    int word = seed == 0 ? 1 : static_cast<int>(seed);
    m_Ring[0] = static_cast<unsigned int>(word);
    for (int i = 1; i < 31; ++i) {
        int high = word / 127773;
        int low = word % 127773;
        word = 16807 * low - 2836 * high;
        if (word < 0) {
            word += 2147483647;
        }
        m_Ring[i] = static_cast<unsigned int>(word);
    }
    // The ring's slot m_Index holds the number 31 places back, the slot 3
    // before it (mod 31) the number 3 back; glibc starts the feedback at the
    // 34th number, with the 31st to 33rd copies of the first three.
    m_Index = 3;
    for (int i = 0; i < WARM_UP; ++i) {
        Next();
    }
}

int LayoutRandom::Next()
{
    unsigned int value = m_Ring[m_Index] + m_Ring[(m_Index + 28) % 31];
    m_Ring[m_Index] = value;
    m_Index = (m_Index + 1) % 31;
    return static_cast<int>(value >> 1);
}

float LayoutRandom::Fraction()
{
    return static_cast<float>(Next() % 32768) / 32767.0f;
}

int DrawLayout(unsigned long long entropy, int avoid)
{
    const unsigned long long span = LAYOUT_LAST - LAYOUT_FIRST + 1;
    int layout = static_cast<int>(entropy % span) + LAYOUT_FIRST;
    return layout != avoid ? layout : (layout == LAYOUT_LAST ? LAYOUT_FIRST : layout + 1);
}
