// The sound layer on SDL_mixer 1.2 (mixing, WAV effects) and libmpg123 (the
// music, decoded whole into one sample, since this SDL_mixer cannot load an
// MP3 as a sample). Effects are decoded once per file name and replayed.
#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mpg123.h>
#include <string>
#include <vector>

#include "app/Fatal.h"
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

// Decodes the whole MP3 into 16-bit samples at the mixer's rate and channel
// count. Returns SOUND_OK or an error code.
static int DecodeMp3(const char* fileName, int rate, int channels, std::vector<unsigned char>& outPcm)
{
    FILE* probe = fopen(fileName, "rb");
    if (probe == NULL) {
        return SOUND_ERROR_FILE_NOT_FOUND;
    }
    fclose(probe);
    if (mpg123_init() != MPG123_OK) {
        return SOUND_ERROR_MEMORY;
    }
    int error = MPG123_OK;
    mpg123_handle* handle = mpg123_new(NULL, &error);
    if (handle == NULL) {
        return SOUND_ERROR_MEMORY;
    }
    // Resample to the mix and never guess a format from a stray sync word.
    mpg123_param(handle, MPG123_FORCE_RATE, rate, 0.0);
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    mpg123_format_none(handle);
    mpg123_format(handle, rate, channels == 1 ? MPG123_MONO : MPG123_STEREO, MPG123_ENC_SIGNED_16);
    int result = SOUND_OK;
    if (mpg123_open(handle, fileName) != MPG123_OK) {
        result = SOUND_ERROR_FORMAT;
    } else {
        unsigned char buffer[16384];
        size_t done = 0;
        int status = MPG123_OK;
        while ((status = mpg123_read(handle, buffer, sizeof buffer, &done)) == MPG123_OK ||
               status == MPG123_NEW_FORMAT) {
            outPcm.insert(outPcm.end(), buffer, buffer + done);
        }
        outPcm.insert(outPcm.end(), buffer, buffer + done);
        if (status != MPG123_DONE) {
            result = outPcm.empty() ? SOUND_ERROR_FORMAT : SOUND_ERROR_FILE_LOAD;
        } else if (outPcm.empty()) {
            result = SOUND_ERROR_FORMAT;
        }
        mpg123_close(handle);
    }
    mpg123_delete(handle);
    return result;
}

// Converts 16-bit native samples to the mixer's own format where it differs.
static Mix_Chunk* MakeChunk(std::vector<unsigned char>& pcm, Uint16 format, int channels, int rate)
{
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, AUDIO_S16SYS, static_cast<Uint8>(channels), rate, format,
                          static_cast<Uint8>(channels), rate) < 0) {
        return NULL;
    }
    cvt.len = static_cast<int>(pcm.size());
    Uint8* data = static_cast<Uint8*>(malloc(static_cast<size_t>(cvt.len) * (cvt.len_mult > 0 ? cvt.len_mult : 1)));
    if (data == NULL) {
        return NULL;
    }
    memcpy(data, pcm.data(), pcm.size());
    cvt.buf = data;
    if (cvt.needed && SDL_ConvertAudio(&cvt) < 0) {
        free(data);
        return NULL;
    }
    // The chunk owns the samples (allocated) and lives until the process ends.
    Mix_Chunk* chunk = static_cast<Mix_Chunk*>(malloc(sizeof(Mix_Chunk)));
    if (chunk == NULL) {
        free(data);
        return NULL;
    }
    chunk->allocated = 1;
    chunk->abuf = data;
    chunk->alen = static_cast<Uint32>(cvt.needed ? cvt.len_cvt : cvt.len);
    chunk->volume = MIX_MAX_VOLUME;
    return chunk;
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

void StartMusic()
{
    CheckMixerVersion();
    if (Mix_OpenAudio(MIX_RATE, MIX_DEFAULT_FORMAT, 2, 1024) < 0) {
        FailStartup(SOUND_ERROR_INIT, "no sound device could be opened (to play without sound, start the game "
                                      "with SDL_AUDIODRIVER=dummy).");
    }
    Mix_AllocateChannels(CHANNELS);
    printf("Loading the song...\n\n");
    fflush(stdout);
    int rate = 0;
    Uint16 format = 0;
    int channels = 0;
    Mix_QuerySpec(&rate, &format, &channels);
    std::vector<unsigned char> pcm;
    int error = DecodeMp3(MUSIC_FILE, rate, channels, pcm);
    if (error != SOUND_OK) {
        FailMusic(error);
    }
    Mix_Chunk* music = MakeChunk(pcm, format, channels, rate);
    if (music == NULL) {
        FailMusic(SOUND_ERROR_MEMORY);
    }
    Mix_PlayChannel(-1, music, 0);
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
