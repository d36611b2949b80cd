#include "tests/support/RecordedSound.h"

#include "sound/Sound.h"

static std::vector<std::string> s_Effects;
static int s_MusicStarts = 0;
static int s_Volumes[2] = {-1, -1};

const std::vector<std::string>& PlayedEffects()
{
    return s_Effects;
}

int MusicStarts()
{
    return s_MusicStarts;
}

void ForgetPlayedSounds()
{
    s_Effects.clear();
    s_MusicStarts = 0;
}

int MusicVolume()
{
    return s_Volumes[0];
}

int EffectsVolume()
{
    return s_Volumes[1];
}

void StartMusic(int musicPercent, int effectsPercent)
{
    ++s_MusicStarts;
    s_Volumes[0] = musicPercent;
    s_Volumes[1] = effectsPercent;
}

void PlayEffect(const char* fileName)
{
    s_Effects.push_back(fileName);
}

void SetVolumes(int musicPercent, int effectsPercent)
{
    s_Volumes[0] = musicPercent;
    s_Volumes[1] = effectsPercent;
}
