// The sound layer on SDL_mixer 1.2 (mixing, WAV effects) and libmpg123 (the
// music, held as the file's bytes and decoded as it plays through the
// mixer's music hook). Effects are decoded once per file name and replayed.
#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "app/Fatal.h"
#include "sound/MusicStream.h"
#include "sound/Sound.h"

static const int MIX_RATE = 44100;
static const int CHANNELS = 32;
static const char* const MUSIC_FILE = "techno.mp3";

// The error text on standard output; on standard error, for the player,
// what went wrong in plain words.
[[noreturn]] static void FailStartup(int code, const char* explanation)
{
    printf("%s\n", ErrorText(code));
    fflush(stdout);
    fprintf(stderr, "Vellmora: %s\n", explanation);
    ExitRestoringDisplay(1);
}

[[noreturn]] static void FailMusic(int code)
{
    char explanation[PATH_MAX + 100];
    snprintf(explanation, sizeof explanation, "the music %s could not be loaded from %s (%s).", MUSIC_FILE,
             WorkingDirectory(), ErrorText(code));
    FailStartup(code, explanation);
}

// Reads the whole file into memory from malloc. Returns SOUND_OK or an
// error code.
static int ReadWholeFile(const char* fileName, unsigned char** outBytes, size_t* outSize)
{
    FILE* file = fopen(fileName, "rb");
    if (file == NULL) {
        return SOUND_ERROR_FILE_NOT_FOUND;
    }
    size_t size = 0;
    size_t capacity = 0;
    unsigned char* bytes = NULL;
    int result = SOUND_OK;
    for (;;) {
        if (size == capacity) {
            capacity = capacity == 0 ? 1 << 20 : capacity * 2;
            unsigned char* grown = static_cast<unsigned char*>(realloc(bytes, capacity));
            if (grown == NULL) {
                result = SOUND_ERROR_MEMORY;
                break;
            }
            bytes = grown;
        }
        size_t got = fread(bytes + size, 1, capacity - size, file);
        size += got;
        if (got == 0) {
            result = ferror(file) ? SOUND_ERROR_FILE_LOAD : SOUND_OK;
            break;
        }
    }
    fclose(file);
    if (result != SOUND_OK) {
        free(bytes);
        return result;
    }
    *outBytes = bytes;
    *outSize = size;
    return SOUND_OK;
}

// SDL_mixer's music hook: the song's next samples into the mix, before the
// effects' channels are added.
static void PlayMusic(void* stream, Uint8* samples, int length)
{
    static_cast<MusicStream*>(stream)->Read(samples, length);
}

static void CheckMixerVersion()
{
    SDL_version built;
    SDL_MIXER_VERSION(&built);
    const SDL_version* linked = Mix_Linked_Version();
    if (SDL_VERSIONNUM(linked->major, linked->minor, linked->patch) <
        SDL_VERSIONNUM(built.major, built.minor, built.patch)) {
        printf("Error : You are using the wrong DLL version!  You should be using SDL_mixer %d.%d.%d\n",
               built.major, built.minor, built.patch);
        ExitRestoringDisplay(1);
    }
}

void StartMusic(int musicPercent, int effectsPercent)
{
    CheckMixerVersion();
    if (Mix_OpenAudio(MIX_RATE, MIX_DEFAULT_FORMAT, 2, 1024) < 0) {
        FailStartup(SOUND_ERROR_INIT, "no sound device could be opened (to play without sound, start the game "
                                      "with SDL_AUDIODRIVER=dummy).");
    }
    Mix_AllocateChannels(CHANNELS);
    Mix_Volume(-1, MIX_MAX_VOLUME * effectsPercent / 100);
    printf("Loading the song...\n\n");
    fflush(stdout);
    int rate = 0;
    Uint16 format = 0;
    int channels = 0;
    Mix_QuerySpec(&rate, &format, &channels);
    unsigned char* bytes = NULL;
    size_t size = 0;
    int error = ReadWholeFile(MUSIC_FILE, &bytes, &size);
    // Lives as long as the process, like the song it plays.
    MusicStream* music = new MusicStream();
    if (error == SOUND_OK) {
        error = music->Open(bytes, size, rate, channels, format);
    }
    if (error != SOUND_OK) {
        FailMusic(error);
    }
    music->SetVolume(musicPercent);
    Mix_HookMusic(PlayMusic, music);
}

void PlayEffect(const char* fileName)
{
    // One decoded sample per file, a failed load included, so a missing
    // file is not searched for again on every crash.
    static std::map<std::string, Mix_Chunk*> samples;
    std::map<std::string, Mix_Chunk*>::iterator found = samples.find(fileName);
    if (found == samples.end()) {
        found = samples.insert(std::make_pair(std::string(fileName), Mix_LoadWAV(fileName))).first;
    }
    if (found->second != NULL) {
        Mix_PlayChannel(-1, found->second, 0);
    }
}
