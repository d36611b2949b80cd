// "techno.mp3": two and a half minutes of four-to-the-floor techno at 128
// beats per minute, synthesised here and encoded with LAME (44.1 kHz stereo,
// 128 kbit/s). Eighty bars: intro, bass, full groove, breakdown, build, peak
// and outro, over an A minor - F - C - G progression.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <lame/lame.h>

#include "AssetGen.h"

namespace {

const int RATE = 44100;
const float TAU = 6.2831853f;
const float BPM = 128.0f;
const int BARS = 80;

float NoteFrequency(int midi)
{
    return 440.0f * std::pow(2.0f, (midi - 69) / 12.0f);
}

// Which parts play in a bar (0-based).
struct Section {
    bool kick, hat, bass, clap, stabs, pad;
    float level;
};

Section SectionFor(int bar)
{
    if (bar < 8) return Section{true, true, false, false, false, false, 0.5f + bar / 16.0f};
    if (bar < 24) return Section{true, true, true, false, false, false, 1.0f};
    if (bar < 40) return Section{true, true, true, true, true, false, 1.0f};
    if (bar < 48) return Section{false, false, false, false, true, true, 0.9f};
    if (bar < 56) return Section{bar >= 52, true, true, bar >= 52, true, true, 1.0f};
    if (bar < 72) return Section{true, true, true, true, true, true, 1.0f};
    return Section{true, true, false, false, false, false, 1.0f - (bar - 72) / 8.0f};
}

// Root notes of the four-bar progression, and its triads.
const int ROOTS[4] = {45, 41, 48, 43};  // A2, F2, C3, G2
const int CHORDS[4][3] = {{69, 72, 76}, {65, 69, 72}, {64, 67, 72}, {67, 71, 74}};

class Synth {
public:
    Synth() : m_Noise(97), m_BassFilter(0.0f), m_HatLow(0.0f), m_StabFilter(0.0f) {}

    // One stereo frame at sample index i.
    void Frame(long i, float& left, float& right)
    {
        const float samplesPerBeat = RATE * 60.0f / BPM;
        float beat = i / samplesPerBeat;
        int bar = static_cast<int>(beat / 4.0f);
        if (bar >= BARS) {
            left = right = 0.0f;
            return;
        }
        Section section = SectionFor(bar);
        int chord = bar % 4;
        float inBeat = beat - std::floor(beat);
        float tBeat = inBeat * 60.0f / BPM;          // seconds since the beat
        float sixteenth = beat * 4.0f;
        float tSixteenth = (sixteenth - std::floor(sixteenth)) * 15.0f / BPM;
        float white = m_Noise.Random(static_cast<unsigned>(i)) * 2.0f - 1.0f;

        float kick = 0.0f;
        if (section.kick) {
            float f = 45.0f + 110.0f * std::exp(-tBeat * 30.0f);
            kick = std::sin(TAU * f * tBeat) * std::exp(-tBeat * 7.0f);
        }
        float hat = 0.0f;
        if (section.hat) {
            float offbeat = inBeat - 0.5f;
            if (offbeat >= 0.0f) {
                m_HatLow += (white - m_HatLow) * 0.5f;
                hat = (white - m_HatLow) * std::exp(-offbeat * 60.0f / BPM * 45.0f);
            }
        }
        float clap = 0.0f;
        int beatInBar = static_cast<int>(beat) % 4;
        if (section.clap && (beatInBar == 1 || beatInBar == 3)) {
            clap = white * std::exp(-tBeat * 22.0f) * (tBeat < 0.012f ? 0.6f : 1.0f);
        }
        float bass = 0.0f;
        if (section.bass) {
            // Off the kick: the bass plays the three sixteenths after each beat.
            int step = static_cast<int>(sixteenth) % 4;
            if (step != 0) {
                int note = ROOTS[chord] + (step == 2 ? 12 : 0);
                float phase = std::fmod(NoteFrequency(note) * (i / static_cast<float>(RATE)), 1.0f);
                float saw = 2.0f * phase - 1.0f;
                m_BassFilter += (saw - m_BassFilter) * (0.05f + 0.25f * std::exp(-tSixteenth * 30.0f));
                bass = m_BassFilter * std::exp(-tSixteenth * 6.0f);
            }
        }
        float stabs = 0.0f;
        if (section.stabs) {
            float offbeat = inBeat - 0.5f;
            if (offbeat >= 0.0f && beatInBar != 3) {
                float t = offbeat * 60.0f / BPM;
                float sum = 0.0f;
                for (int k = 0; k < 3; ++k) {
                    float phase = std::fmod(NoteFrequency(CHORDS[chord][k]) * (i / static_cast<float>(RATE)), 1.0f);
                    sum += 2.0f * phase - 1.0f;
                }
                m_StabFilter += (sum / 3.0f - m_StabFilter) * 0.18f;
                stabs = m_StabFilter * std::exp(-t * 9.0f);
            }
        }
        float pad = 0.0f;
        if (section.pad) {
            float t = i / static_cast<float>(RATE);
            for (int k = 0; k < 3; ++k) {
                pad += std::sin(TAU * NoteFrequency(CHORDS[chord][k] - 12) * t * (1.0f + 0.002f * k));
            }
            pad *= 0.12f * (0.6f + 0.4f * std::sin(TAU * beat / 16.0f));
        }
        float centre = 0.9f * kick + 0.45f * bass + 0.25f * clap;
        float wide = 0.28f * stabs + pad;
        left = std::tanh(section.level * (centre + 0.16f * hat * 0.8f + wide * 0.9f));
        right = std::tanh(section.level * (centre + 0.16f * hat + wide * 1.1f)) ;
    }

private:
    Noise m_Noise;
    float m_BassFilter;
    float m_HatLow;
    float m_StabFilter;
};

}  // namespace

bool WriteMusic(const std::string& root)
{
    const long frames = static_cast<long>(BARS * 4 * 60.0f / BPM * RATE) + RATE;  // a second of tail
    lame_global_flags* lame = lame_init();
    if (lame == NULL) {
        fprintf(stderr, "techno.mp3: LAME could not start\n");
        return false;
    }
    lame_set_in_samplerate(lame, RATE);
    lame_set_out_samplerate(lame, RATE);
    lame_set_num_channels(lame, 2);
    lame_set_brate(lame, 128);
    lame_set_quality(lame, 5);
    if (lame_init_params(lame) < 0) {
        fprintf(stderr, "techno.mp3: LAME refused the settings\n");
        lame_close(lame);
        return false;
    }
    Synth synth;
    std::vector<unsigned char> mp3;
    const int chunk = 4096;
    std::vector<short> pcm(chunk * 2);
    std::vector<unsigned char> buffer(chunk * 5 / 4 + 7200);
    for (long start = 0; start < frames; start += chunk) {
        int count = static_cast<int>(std::min<long>(chunk, frames - start));
        for (int k = 0; k < count; ++k) {
            float left = 0.0f, right = 0.0f;
            synth.Frame(start + k, left, right);
            pcm[2 * k] = static_cast<short>(left * 30000.0f);
            pcm[2 * k + 1] = static_cast<short>(right * 30000.0f);
        }
        int bytes = lame_encode_buffer_interleaved(lame, pcm.data(), count, buffer.data(),
                                                   static_cast<int>(buffer.size()));
        if (bytes < 0) {
            fprintf(stderr, "techno.mp3: encoding failed (%d)\n", bytes);
            lame_close(lame);
            return false;
        }
        mp3.insert(mp3.end(), buffer.begin(), buffer.begin() + bytes);
    }
    int bytes = lame_encode_flush(lame, buffer.data(), static_cast<int>(buffer.size()));
    if (bytes > 0) {
        mp3.insert(mp3.end(), buffer.begin(), buffer.begin() + bytes);
    }
    lame_close(lame);
    return WriteBytes(root + "/techno.mp3", mp3);
}
