// The two effects: a crash (a thump with a burst of scraping noise) and a
// pick-up (a bright rising arpeggio). 44.1 kHz, 16-bit mono.
#include <cmath>

#include "AssetGen.h"

static const int RATE = 44100;
static const float TAU = 6.2831853f;

static std::vector<float> Crash()
{
    const int length = RATE * 7 / 10;
    std::vector<float> samples(length);
    Noise noise(83);
    float phase = 0.0f;
    float low = 0.0f;
    for (int i = 0; i < length; ++i) {
        float t = i / static_cast<float>(RATE);
        float frequency = 40.0f + 90.0f * std::exp(-t * 18.0f);
        phase += TAU * frequency / RATE;
        float thump = std::sin(phase) * std::exp(-t * 7.0f);
        float white = noise.Random(static_cast<unsigned>(i)) * 2.0f - 1.0f;
        low += (white - low) * 0.25f;  // darker noise for the scrape
        float scrape = low * std::exp(-t * 5.0f) * (0.7f + 0.3f * std::sin(t * 90.0f));
        samples[i] = std::tanh(1.8f * (0.8f * thump + 0.9f * scrape)) * 0.9f;
    }
    return samples;
}

static std::vector<float> GotBox()
{
    const float notes[3] = {1046.5f, 1318.5f, 1568.0f};  // C6, E6, G6
    const int noteLength = RATE * 9 / 100;
    const int length = noteLength * 2 + RATE * 3 / 10;
    std::vector<float> samples(length, 0.0f);
    for (int n = 0; n < 3; ++n) {
        for (int i = n * noteLength; i < length; ++i) {
            float t = (i - n * noteLength) / static_cast<float>(RATE);
            float envelope = std::exp(-t * 9.0f) * std::fmin(1.0f, t * 400.0f);
            float tone = std::sin(TAU * notes[n] * t) + 0.3f * std::sin(TAU * 2.0f * notes[n] * t);
            samples[i] += 0.35f * envelope * tone;
        }
    }
    return samples;
}

bool WriteEffects(const std::string& root)
{
    return WriteWav(root + "/crash.wav", Crash(), RATE) && WriteWav(root + "/gotbox.wav", GotBox(), RATE);
}
