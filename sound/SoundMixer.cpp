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
#include <unistd.h>

#include "base/Fatal.h"
#include "base/Logger.h"
#include "base/PlayerFiles.h"
#include "sound/MusicStream.h"
#include "sound/Sound.h"

static const int MIX_RATE = 44100;
static const int CHANNELS = 32;
static const char* const MUSIC_FILE = "techno.mp3";
// Far above any song the game could play; a larger file is refused unread.
static const long long MOST_MUSIC_BYTES = 256LL * 1024 * 1024;

// The error text on standard output; on standard error, for the player,
// what went wrong in plain words. Both go to the log too: started from a
// desktop's menu, nobody sees the terminal.
[[noreturn]] static void FailStartup(int code, const char* explanation)
{
    printf("%s\n", ErrorText(code));
    fflush(stdout);
    fprintf(stderr, "Vellmora: %s\n", explanation);
    LogMessage("%s", ErrorText(code));
    LogMessage("Vellmora: %s", explanation);
    ExitRestoringDisplay(1);
}

[[noreturn]] static void FailMusic(int code, const char* reason)
{
    char explanation[PATH_MAX + 200];
    snprintf(explanation, sizeof explanation, "the music %s could not be loaded from %s (%s%s).", MUSIC_FILE,
             WorkingDirectory(), ErrorText(code), reason);
    FailStartup(code, explanation);
}

// Reads the whole of a regular file of at most MOST_MUSIC_BYTES into memory
// from malloc. Returns SOUND_OK or an error code; outReason says more where
// the code alone would mislead.
static int ReadWholeFile(const char* fileName, unsigned char** outBytes, size_t* outSize, const char** outReason)
{
    long long size = 0;
    const char* kind = NULL;
    int fd = OpenRegularFile(fileName, &size, &kind);
    if (fd < 0) {
        *outReason = kind != NULL ? ": it is not a regular file" : "";
        return kind != NULL ? SOUND_ERROR_FILE_LOAD : SOUND_ERROR_FILE_NOT_FOUND;
    }
    if (size > MOST_MUSIC_BYTES) {
        *outReason = ": it is over 256 MB";
        close(fd);
        return SOUND_ERROR_FILE_LOAD;
    }
    // The size stat gave, and one byte more to see the file has not grown.
    size_t capacity = static_cast<size_t>(size) + 1;
    unsigned char* bytes = static_cast<unsigned char*>(malloc(capacity));
    long long got = bytes != NULL ? ReadUpTo(fd, bytes, capacity) : -1;
    close(fd);
    if (bytes == NULL) {
        return SOUND_ERROR_MEMORY;
    }
    if (got < 0 || got == static_cast<long long>(capacity)) {
        *outReason = got < 0 ? "" : ": it grew while it was read";
        free(bytes);
        return SOUND_ERROR_FILE_LOAD;
    }
    *outBytes = bytes;
    *outSize = static_cast<size_t>(got);
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

// The song StartMusic plays; NULL before.
static MusicStream* s_Music = NULL;

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
    const char* reason = "";
    int error = ReadWholeFile(MUSIC_FILE, &bytes, &size, &reason);
    // Lives as long as the process, like the song it plays.
    MusicStream* music = new MusicStream();
    s_Music = music;
    if (error == SOUND_OK) {
        error = music->Open(bytes, size, rate, channels, format);
    }
    if (error != SOUND_OK) {
        FailMusic(error, reason);
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

void SetVolumes(int musicPercent, int effectsPercent)
{
    if (s_Music == NULL) {
        return;
    }
    Mix_Volume(-1, MIX_MAX_VOLUME * effectsPercent / 100);
    // The mixer's thread decodes the song; the volume changes between two
    // of its buffers.
    SDL_LockAudio();
    s_Music->SetVolume(musicPercent);
    SDL_UnlockAudio();
}
