// The real sound layer (SDL_mixer and libmpg123) on SDL's dummy audio
// driver, with the generated sounds.
#include "sound/Sound.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
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
    // The effects at full volume by default; the player's volumes reach the
    // mix: effects on every channel, the music through its decoder.
    EXPECT_EQ(Mix_Volume(-1, -1), MIX_MAX_VOLUME);
    Mix_CloseAudio();
    testing::internal::CaptureStdout();
    StartMusic(0, 50);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(Mix_Volume(-1, -1), MIX_MAX_VOLUME / 2);
    MusicStream* music = static_cast<MusicStream*>(Mix_GetMusicHookData());
    ASSERT_TRUE(music != NULL);
    short samples[4096];
    SDL_LockAudio();  // the mixing thread reads the song too
    music->Read(reinterpret_cast<unsigned char*>(samples), sizeof samples);
    EXPECT_EQ(std::count(samples, samples + 4096, 0), 4096);
    music->SetVolume(100);
    music->Read(reinterpret_cast<unsigned char*>(samples), sizeof samples);
    SDL_UnlockAudio();
    EXPECT_LT(std::count(samples, samples + 4096, 0), 1000);
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

// The bytes played from memory as the game plays them: the seconds of sound,
// or the error code (as a negative number) when the stream refuses them.
static double Play(const std::vector<unsigned char>& bytes)
{
    unsigned char* copy = static_cast<unsigned char*>(malloc(bytes.size() + 1));
    std::copy(bytes.begin(), bytes.end(), copy);
    MusicStream stream;
    int error = stream.Open(copy, bytes.size(), 44100, 2, AUDIO_S16SYS);
    return error == SOUND_OK ? PlayThrough(stream) : -error;
}

static std::vector<unsigned char> ReadFile(const char* name)
{
    std::vector<unsigned char> bytes;
    FILE* file = fopen(name, "rb");
    for (int c = file != NULL ? fgetc(file) : EOF; c != EOF; c = fgetc(file)) {
        bytes.push_back(static_cast<unsigned char>(c));
    }
    if (file != NULL) {
        fclose(file);
    }
    return bytes;
}

// An ID3v2 tag of the given major version (3 or 4) and size, its frames
// the padding that cover art and long comments usually leave.
static std::vector<unsigned char> Id3v2Tag(int version, size_t size)
{
    std::vector<unsigned char> tag = {'I', 'D', '3', static_cast<unsigned char>(version), 0, 0};
    size_t body = size - 10;
    for (int shift = 21; shift >= 0; shift -= 7) {
        tag.push_back(static_cast<unsigned char>((body >> shift) & 0x7F));
    }
    const char frame[] = "TIT2\0\0\0\x09\0\0\0Vellmora";
    tag.insert(tag.end(), frame, frame + sizeof frame - 1);
    tag.resize(size, 0);
    return tag;
}

static void Append(std::vector<unsigned char>& to, const std::vector<unsigned char>& what)
{
    to.insert(to.end(), what.begin(), what.end());
}

// Songs that players bring, made by lame from a two-second tone: each plays
// for its two seconds, whatever its layout; files with nothing playable are
// refused with the texts of before.
TEST(MusicStream, PlaysWhatTheDecoderPlaysAndRefusesTheRest)
{
    TempDir dir;
    ASSERT_EQ(system("sox -q -n -r 44100 -c 2 tone.wav synth 2 sine 440 && "
                     "lame --quiet -V 5 tone.wav vbr.mp3 && "
                     "lame --quiet -m m --resample 22.05 -b 32 tone.wav mpeg2.mp3 && "
                     "lame --quiet -m m --resample 8 -b 16 tone.wav mpeg25.mp3 && "
                     "lame --quiet --freeformat -b 200 tone.wav free.mp3 && "
                     "lame --quiet -b 128 --id3v1-only --tt Vellmora tone.wav plain.mp3"),
              0);
    for (const char* name : {"vbr.mp3", "mpeg2.mp3", "mpeg25.mp3", "free.mp3"}) {
        EXPECT_NEAR(Play(ReadFile(name)), 2.0, 0.25) << name;
    }
    std::vector<unsigned char> song = ReadFile("plain.mp3");  // ends in an ID3v1 tag
    ASSERT_GT(song.size(), 20000u);
    std::vector<unsigned char> layouts[4];
    Append(layouts[0], Id3v2Tag(3, 70000));
    Append(layouts[0], song);
    Append(layouts[1], Id3v2Tag(4, 5000));
    Append(layouts[1], song);
    Append(layouts[1], Id3v2Tag(4, 5000));  // joined songs, each with its tag
    Append(layouts[1], song);
    layouts[2] = song;
    const char ape[] = "APETAGEX\xd0\x07\0\0\x20\0\0\0\0\0\0\0\0\0\0\x80\0\0\0\0\0\0\0\0";
    layouts[2].insert(layouts[2].end() - 128, ape, ape + sizeof ape - 1);
    layouts[3].assign(song.begin(), song.end() - 128 - 200);  // the last frame cut off
    const double seconds[4] = {2.0, 4.0, 2.0, 1.95};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(Play(layouts[i]), seconds[i], 0.25) << "layout " << i;
    }

    std::vector<unsigned char> text(4000, 'a');
    std::vector<unsigned char> noise;
    for (int i = 0; i < 5000; ++i) {
        noise.push_back(static_cast<unsigned char>((i * 7919 + 13) % 255));
    }
    for (const std::vector<unsigned char>& nothing :
         {std::vector<unsigned char>(), text, noise, Id3v2Tag(3, 5000), ReadFile("tone.wav")}) {
        EXPECT_EQ(Play(nothing), -SOUND_ERROR_FORMAT) << nothing.size() << " bytes";
    }
}

TEST(MusicStream, DecodesTheSongAsItPlaysAndPassesOverDamage)
{
    TempDir dir;
    dir.LinkContentsOf(VELLMORA_ASSET_DIR);
    std::vector<unsigned char> song = ReadFile("techno.mp3");
    ASSERT_GT(song.size(), 100000u);
    // Junk in the middle: the decoder finds the frames after it again.
    std::vector<unsigned char> junk = song;
    std::fill(junk.begin() + junk.size() / 2, junk.begin() + junk.size() / 2 + 5000, 0x11);
    double full = Play(song);
    EXPECT_GT(full, 140.0);
    EXPECT_GT(Play(junk), full - 1.0);
    // Damage inside frames is skipped in play.
    for (size_t at = song.size() / 4; at < song.size() / 4 + 20000; at += 7) {
        song[at] ^= 0x5A;
    }
    EXPECT_GT(Play(song), 120.0);

    // After the end, silence.
    unsigned char* bytes = static_cast<unsigned char*>(malloc(2000));
    std::copy(song.begin() + 1000, song.begin() + 3000, bytes);
    MusicStream stream;
    ASSERT_EQ(stream.Open(bytes, 2000, 44100, 2, AUDIO_S16SYS), SOUND_OK);
    PlayThrough(stream);
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
    // Nothing that is not a plain file is read, nor one far too large: a
    // FIFO would hold the start for good, /dev/zero fill the memory.
    unlink("techno.mp3");
    ASSERT_EQ(mkfifo("techno.mp3", 0600), 0);
    EXPECT_EXIT(StartMusicShowingStdout(), testing::ExitedWithCode(1),
                "\nError loading file\nVellmora: the music .* \\(Error loading file: it is not a regular file\\)");
    unlink("techno.mp3");
    ASSERT_EQ(symlink("/dev/zero", "techno.mp3"), 0);
    EXPECT_EXIT(StartMusicShowingStdout(), testing::ExitedWithCode(1), "it is not a regular file");
    unlink("techno.mp3");
    ASSERT_EQ(truncate(creat("techno.mp3", 0600) >= 0 ? "techno.mp3" : "", 257LL << 20), 0);
    EXPECT_EXIT(StartMusicShowingStdout(), testing::ExitedWithCode(1), "Error loading file: it is over 256 MB");
    // From a desktop's menu nobody sees the terminal: the log says it too.
    // (A death test's child runs in a working directory of its own.)
    pid_t child = fork();
    if (child == 0) {
        freopen("/dev/null", "w", stdout);
        freopen("/dev/null", "w", stderr);
        StartMusic();
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    std::string log = m_Dir.ReadFile("vellmora.log");
    EXPECT_NE(log.find("Error loading file\nVellmora: the music techno.mp3 could not be loaded from /"),
              std::string::npos) << log;
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
