// The real sound layer (SDL_mixer and libmpg123) on SDL's dummy audio
// driver, with the generated sounds.
#include "sound/Sound.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <unistd.h>
#include <vector>

#include "sound/MusicStream.h"
#include "tests/support/TempDir.h"

// A fresh directory with the generated sounds, SDL's audio started as the
// game starts it.
class SoundLayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        m_Dir.LinkContentsOf(VELLMORA_ASSET_DIR);
        ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO | SDL_INIT_TIMER | SDL_INIT_NOPARACHUTE), 0) << SDL_GetError();
    }
    void TearDown() override
    {
        Mix_CloseAudio();
        SDL_Quit();
    }
    TempDir m_Dir;
};

TEST(SoundErrors, EveryCodeHasItsText)
{
    const char* const texts[20] = {
        "No errors",
        "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.",
        "This command failed because FSOUND_Init was not called",
        "Error initializing output device.",
        "The output device is already in use and cannot be reused.",
        "Playing the sound failed.",
        "Soundcard does not support the features needed for this soundsystem (16bit stereo output)",
        "Error setting cooperative level for hardware.",
        "Error creating hardware sound buffer.",
        "File not found",
        "Unknown file format",
        "Error loading file",
        "Not enough memory ",
        "The version number of this file format is not supported",
        "An invalid parameter was passed to this function",
        "Tried to use an EAX command on a non EAX enabled channel or output.",
        "Tried to use an advanced EAX2 command on a non EAX2 enabled channel or output.",
        "Failed to allocate a new channel",
        "Recording not supported on this device",
        "Required Mediaplayer codec is not installed",
    };
    for (int code = 0; code < 20; ++code) {
        EXPECT_STREQ(ErrorText(code), texts[code]) << code;
    }
    EXPECT_STREQ(ErrorText(20), "Unknown error");
    EXPECT_STREQ(ErrorText(-1), "Unknown error");
}

TEST_F(SoundLayer, MusicStartsAfterTheLoadingLine)
{
    testing::internal::CaptureStdout();
    StartMusic();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Loading the song...\n\n");
    // The song plays through the music hook, leaving every channel to effects.
    EXPECT_TRUE(Mix_GetMusicHookData() != NULL);
    EXPECT_EQ(Mix_Playing(-1), 0);
    EXPECT_EQ(Mix_AllocateChannels(-1), 32);
    int rate = 0;
    Uint16 format = 0;
    int channels = 0;
    ASSERT_EQ(Mix_QuerySpec(&rate, &format, &channels), 1);
    EXPECT_EQ(rate, 44100);
}

// The song's bytes, from malloc as the stream takes them.
static unsigned char* ReadSong(size_t* size)
{
    FILE* file = fopen("techno.mp3", "rb");
    if (file == NULL) {
        return NULL;
    }
    fseek(file, 0, SEEK_END);
    *size = static_cast<size_t>(ftell(file));
    rewind(file);
    unsigned char* bytes = static_cast<unsigned char*>(malloc(*size));
    *size = fread(bytes, 1, *size, file);
    fclose(file);
    return bytes;
}

// Decodes the whole song a mix buffer at a time; the seconds of sound it gave.
static double PlayThrough(MusicStream& stream)
{
    unsigned char buffer[4096];
    long sounding = 0;
    for (long reads = 0; !stream.m_Finished && reads < 1000000; ++reads) {
        memset(buffer, 0x55, sizeof buffer);
        stream.Read(buffer, sizeof buffer);
        sounding += sizeof buffer;
    }
    EXPECT_TRUE(stream.m_Finished);
    return sounding / (44100 * 2 * 2.0);
}

TEST(MusicStream, DecodesTheSongAsItPlaysAndPassesOverDamage)
{
    TempDir dir;
    dir.LinkContentsOf(VELLMORA_ASSET_DIR);
    size_t size = 0;
    unsigned char* song = ReadSong(&size);
    ASSERT_TRUE(song != NULL);
    ASSERT_EQ(ScanMp3(song, size), SOUND_OK);

    // Junk longer than the decoder's resync limit in the middle: it would
    // give up there, so the scan refuses the file.
    std::vector<unsigned char> cut(song, song + size);
    std::fill(cut.begin() + size / 2, cut.begin() + size / 2 + 5000, 0x11);
    EXPECT_EQ(ScanMp3(cut.data(), cut.size()), SOUND_ERROR_FILE_LOAD);
    // Short junk, a tag in front and a cut-off last frame all still play.
    std::vector<unsigned char> tagged = {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 20};
    tagged.resize(30, 0xFF);
    tagged.insert(tagged.end(), song, song + size - 100);
    std::fill(tagged.begin() + size / 3, tagged.begin() + size / 3 + 600, 0x22);
    EXPECT_EQ(ScanMp3(tagged.data(), tagged.size()), SOUND_OK);
    EXPECT_EQ(ScanMp3(song + 1000, 700), SOUND_OK);
    EXPECT_EQ(ScanMp3(cut.data(), 0), SOUND_ERROR_FORMAT);

    // Damage inside frames, which the scan cannot see, is skipped in play.
    for (size_t at = size / 4; at < size / 4 + 20000; at += 7) {
        song[at] ^= 0x5A;
    }
    MusicStream stream;
    ASSERT_EQ(stream.Open(song, size, 44100, 2, AUDIO_S16SYS), SOUND_OK);
    double seconds = PlayThrough(stream);
    EXPECT_GT(seconds, 120.0);
    EXPECT_LT(seconds, 185.0);
    // After the end, silence.
    unsigned char after[64];
    memset(after, 0x55, sizeof after);
    stream.Read(after, sizeof after);
    EXPECT_EQ(std::count(after, after + sizeof after, 0), 64);
}

TEST_F(SoundLayer, EffectsOverlapOnChannelsOfTheirOwn)
{
    testing::internal::CaptureStdout();
    StartMusic();
    testing::internal::GetCapturedStdout();
    PlayEffect("crash.wav");
    PlayEffect("crash.wav");
    PlayEffect("gotbox.wav");
    EXPECT_EQ(Mix_Playing(-1), 3);
    // The same decoded sample is replayed.
    int crashChannels = 0;
    for (int channel = 0; channel < 32; ++channel) {
        if (Mix_Playing(channel) && Mix_GetChunk(channel) == Mix_GetChunk(0)) {
            ++crashChannels;
        }
    }
    EXPECT_EQ(crashChannels, 2);
    // A missing effect plays nothing and says nothing.
    testing::internal::CaptureStdout();
    PlayEffect("missing.wav");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(Mix_Playing(-1), 3);
}

// Standard output goes to standard error in the dying child, so the death
// test can read it.
static void StartMusicShowingStdout()
{
    dup2(STDERR_FILENO, STDOUT_FILENO);
    StartMusic();
}

TEST_F(SoundLayer, MissingOrBrokenMusicEndsStartUp)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    unlink("techno.mp3");
    EXPECT_EXIT(StartMusicShowingStdout(), testing::ExitedWithCode(1), "\nLoading the song\\.\\.\\.\n\nFile not found\n"
                "Vellmora: the music techno.mp3 could not be loaded from /.* \\(File not found\\)\\.\n");
    FILE* noise = fopen("techno.mp3", "wb");
    ASSERT_TRUE(noise != NULL);
    for (int i = 0; i < 5000; ++i) {
        fputc((i * 7919 + 13) % 256 == 0xFF ? 0 : (i * 7919 + 13) % 256, noise);
    }
    fclose(noise);
    EXPECT_EXIT(StartMusicShowingStdout(), testing::ExitedWithCode(1),
                "\nLoading the song\\.\\.\\.\n\nUnknown file format\n");
}

TEST_F(SoundLayer, NoOutputDeviceEndsStartUp)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Mix_CloseAudio();
    SDL_Quit();
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    SDL_Init(SDL_INIT_TIMER | SDL_INIT_NOPARACHUTE);
    EXPECT_EXIT(StartMusicShowingStdout(), testing::ExitedWithCode(1), "\nError initializing output device\\.\nVellmora: no sound device could be opened");
}
