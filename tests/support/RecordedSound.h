// A stand-in for the sound layer: nothing is played, every request is
// recorded, so tests can see which effects the rules asked for.
#ifndef TESTS_SUPPORT_RECORDED_SOUND_H
#define TESTS_SUPPORT_RECORDED_SOUND_H

#include <string>
#include <vector>

const std::vector<std::string>& PlayedEffects();
int MusicStarts();
// The volumes the last start or change asked for, in percent; -1 before any.
int MusicVolume();
int EffectsVolume();
void ForgetPlayedSounds();

#endif
