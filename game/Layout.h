// Layouts: every level (where the palms and boxes stand) has a number from
// 1 to 99,999, and the same number places the same level on every machine.
// The placement draws its numbers from LayoutRandom, which gives the
// sequence glibc's rand gives after srand(number), computed here so that no
// C library's own generator can change a layout.
#ifndef GAME_LAYOUT_H
#define GAME_LAYOUT_H

static const int LAYOUT_FIRST = 1;
static const int LAYOUT_LAST = 99999;
// Bumped whenever the tick rules or the layouts' placement change: times
// made under other rules are kept in the records but not compared.
static const int RULES_NUMBER = 1;

class LayoutRandom {
public:
    explicit LayoutRandom(unsigned int seed);

    // The next number, from 0 to 2^31 - 1.
    int Next();
    // A fraction from 0 to 1, both included: the next number's low 15 bits
    // over 32767.
    float Fraction();

private:
    // The last 31 numbers of the additive feedback, a ring from m_Index.
    unsigned int m_Ring[31];
    int m_Index;
};

// A layout drawn from entropy (the time, say), never avoid.
int DrawLayout(unsigned long long entropy, int avoid);

#endif
