#include "tests/support/RecordedSound.h"

#include "sound/Sound.h"

static std::vector<std::string> s_Effects;
static int s_MusicStarts = 0;

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

void StartMusic()
{
    ++s_MusicStarts;
}

void PlayEffect(const char* fileName)
{
    s_Effects.push_back(fileName);
}
