// The settings file's reading, from text: what each setting takes, and what
// a line it cannot take costs (one message, nothing else).
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/Settings.h"
#include "app/SettingsFile.h"
#include "fuzz/FuzzInputs.h"
#include "tests/support/TempDir.h"

// The example the package installs names every setting at its default.
TEST(SettingsFile, TheExampleFileIsTheGameAsDesigned)
{
    std::ifstream example(VELLMORA_SOURCE_DIR "/tools/package/vellmora.conf");
    std::stringstream text;
    text << example.rdbuf();
    ASSERT_GT(text.str().size(), 500u);
    std::vector<std::string> problems;
    Settings settings = ParseSettings(text.str(), "vellmora.conf", problems);
    EXPECT_TRUE(problems.empty()) << problems[0];
    EXPECT_EQ(settings.m_Fullscreen, Settings::FULLSCREEN_ASK);
    EXPECT_EQ(settings.m_Mouse.m_DegreesPerCount, 1.0f);
    EXPECT_FALSE(settings.m_Mouse.m_Inverted || settings.m_KeysByPosition || settings.m_PauseWhenUnfocused);
    EXPECT_EQ(settings.m_MusicVolume + settings.m_EffectsVolume, 200);
    const int designed[ACTION_COUNT] = {'w', 's', 'a', 'd', 'q', 'e', '\t', 'c', 'o', 'l', 'r', 'n', 'p', 293};
    EXPECT_EQ(settings.m_Layout, 0);
    EXPECT_TRUE(settings.m_Ghost);
    for (int action = 0; action < ACTION_COUNT; ++action) {
        EXPECT_EQ(settings.m_Keys.m_Keys[action], designed[action]) << action;
    }
}

TEST(SettingsFile, TakesEverySettingInAnyCaseWithCommentsAndSpaces)
{
    std::vector<std::string> problems;
    // Notepad's byte-order mark first.
    Settings settings = ParseSettings("\xEF\xBB\xBF" "FullScreen=YES\r\n"
                                      "  mouse_sensitivity =  0.25   # a fast mouse\n"
                                      "Invert_Mouse = yes\nmusic_volume = 0\neffects_volume=55\n"
                                      "keys = Positions\npause_when_unfocused = yes\n"
                                      "throttle = Up\nbrake = left shift\nlight = space\n"
                                      "layout = 99999\nretry = backspace\nghost = No\nscreenshot = print screen",
                                      "vellmora.conf", problems);
    EXPECT_TRUE(problems.empty()) << problems[0];
    EXPECT_EQ(settings.m_Fullscreen, Settings::FULLSCREEN_YES);
    EXPECT_NEAR(settings.m_Mouse.m_DegreesPerCount, 0.25f, 1e-6f);
    EXPECT_TRUE(settings.m_Mouse.m_Inverted && settings.m_KeysByPosition && settings.m_PauseWhenUnfocused);
    EXPECT_EQ(settings.m_MusicVolume, 0);
    EXPECT_EQ(settings.m_EffectsVolume, 55);
    EXPECT_EQ(settings.m_Keys.m_Keys[ACTION_THROTTLE], 273);   // SDLK_UP
    EXPECT_EQ(settings.m_Keys.m_Keys[ACTION_BRAKE], 304);      // SDLK_LSHIFT
    EXPECT_EQ(settings.m_Keys.m_Keys[ACTION_LIGHT], ' ');
    EXPECT_EQ(settings.m_Keys.m_Keys[ACTION_RETRY], 8);  // SDLK_BACKSPACE
    EXPECT_EQ(settings.m_Layout, 99999);
    EXPECT_FALSE(settings.m_Ghost);
    EXPECT_EQ(settings.m_Keys.m_Keys[ACTION_SCREENSHOT], 316);  // SDLK_PRINT

    // Every documented bound is taken.
    Settings least = ParseSettings("mouse_sensitivity = 0.05\nmusic_volume = 0\neffects_volume = 100", "v", problems);
    Settings most = ParseSettings("mouse_sensitivity = 10\nmusic_volume = 100\neffects_volume = 0", "v", problems);
    EXPECT_TRUE(problems.empty()) << problems[0];
    EXPECT_EQ(least.m_Mouse.m_DegreesPerCount, 0.05f);
    EXPECT_EQ(most.m_Mouse.m_DegreesPerCount, 10.0f);
    EXPECT_EQ(least.m_MusicVolume + most.m_EffectsVolume, 0);
    EXPECT_EQ(most.m_MusicVolume + least.m_EffectsVolume, 200);
}

// Each bad line is named with its number and reason; the setting keeps what
// it had, an earlier good line's value included.
TEST(SettingsFile, EachBadLineIsReportedAndLosesNothing)
{
    std::vector<std::string> problems;
    const char text[] = "mouse_sensitivity = 2\n"
                                      "mouse_sensitivity = 11\n"
                                      "mouse_sensitivity = nan\n"
                                      "music_volume = 50\nmusic_volume = 12.5\n"
                                      "fullscreen = maybe\n"
                                      "just some words\n"
                                      "colour = blue\n"
                                      "invert_mouse =\n"
                                      "throttle = warp\n"
                                      "brake = escape\n"
                                      "layout = 0\n"
                                      "throttle = up\0 junk\n";
    Settings settings = ParseSettings(std::string(text, sizeof text - 1), "vellmora.conf", problems);
    const char* const expected[] = {
        "vellmora.conf line 2: mouse_sensitivity must be a number from 0.05 to 10; kept 2",
        "vellmora.conf line 3: mouse_sensitivity must be a number from 0.05 to 10; kept 2",
        "vellmora.conf line 5: music_volume must be a whole number from 0 to 100; kept 50",
        "vellmora.conf line 6: fullscreen must be ask, yes or no; kept ask",
        "vellmora.conf line 7: not a setting (name = value); ignored",
        "vellmora.conf line 8: no setting is called colour; ignored",
        "vellmora.conf line 9: invert_mouse must be no or yes; kept no",
        "vellmora.conf line 10: throttle must be a key's name, such as w, up or left shift; kept w",
        "vellmora.conf line 11: escape always quits and cannot be bound; kept s",
        "vellmora.conf line 12: layout must be random or a whole number from 1 to 99999; kept random",
        "vellmora.conf line 13: holds a NUL byte; ignored",
    };
    ASSERT_EQ(problems.size(), sizeof expected / sizeof expected[0]);
    for (size_t i = 0; i < problems.size(); ++i) {
        EXPECT_EQ(problems[i], expected[i]);
    }
    EXPECT_EQ(settings.m_Mouse.m_DegreesPerCount, 2.0f);
    EXPECT_EQ(settings.m_MusicVolume, 50);
    EXPECT_EQ(settings.m_Keys.m_Keys[ACTION_THROTTLE], 'w');
}

// A file the size of many: a line straddling 64 KiB is read whole, one
// straddling the limit is not read at all; what is not a file is not opened
// for reading, and the log says why.
TEST(SettingsFile, ReadsWholeLinesOfRegularFilesOnly)
{
    TempDir dir;
    std::string text(65536 - 6, '#');
    text += "\nthrottle = up\n";
    std::string huge = text + std::string(1024 * 1024 - text.size() - 4, '#') + "\nbrake = down\n";
    std::ofstream("big.conf") << text;
    std::ofstream("huge.conf") << huge;
    EXPECT_EQ(LoadSettings(dir.Path() + "/big.conf").m_Keys.m_Keys[ACTION_THROTTLE], 273);  // SDLK_UP
    Settings cut = LoadSettings(dir.Path() + "/huge.conf");
    EXPECT_EQ(cut.m_Keys.m_Keys[ACTION_THROTTLE], 273);
    EXPECT_EQ(cut.m_Keys.m_Keys[ACTION_BRAKE], 's');

    ASSERT_EQ(mkfifo("fifo.conf", 0600), 0);
    ASSERT_EQ(mkdir("folder.conf", 0700), 0);
    EXPECT_EQ(LoadSettings(dir.Path() + "/fifo.conf").m_Fullscreen, Settings::FULLSCREEN_ASK);
    LoadSettings(dir.Path() + "/folder.conf");
    std::string log = dir.ReadFile("vellmora.log");
    EXPECT_NE(log.find("huge.conf is over 1024 KiB; only its first 1048573 bytes, whole lines, are read"),
              std::string::npos) << log;
    EXPECT_NE(log.find("fifo.conf is a FIFO, which the game does not read"), std::string::npos) << log;
    EXPECT_NE(log.find("folder.conf is a folder, which the game does not read"), std::string::npos) << log;
}

// Two actions may swap their keys; a key already another action's is
// refused on the later line, which keeps its action's earlier key.
TEST(SettingsFile, AKeyServesOneAction)
{
    std::vector<std::string> problems;
    Settings swapped = ParseSettings("throttle = s\nbrake = w\n", "vellmora.conf", problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(swapped.m_Keys.m_Keys[ACTION_THROTTLE], 's');
    EXPECT_EQ(swapped.m_Keys.m_Keys[ACTION_BRAKE], 'w');

    Settings clash = ParseSettings("light = up\nthrottle = e\nlight = a\nbrake = up\n", "my.conf", problems);
    ASSERT_EQ(problems.size(), 3u);
    EXPECT_EQ(problems[0], "my.conf line 2: e is already roll_right's key; kept w");
    EXPECT_EQ(problems[1], "my.conf line 3: a is already strafe_left's key; kept up");
    EXPECT_EQ(problems[2], "my.conf line 4: up is already light's key; kept s");
    EXPECT_EQ(clash.m_Keys.m_Keys[ACTION_LIGHT], 273);
    EXPECT_EQ(clash.m_Keys.m_Keys[ACTION_THROTTLE], 'w');
    // The light took up back, so the brake's later claim to it fails too.
    EXPECT_EQ(clash.m_Keys.m_Keys[ACTION_BRAKE], 's');
}

// The menu's changes in the player's own file: each value replaced where
// the file set it (the last of two lines), keys swapped on both their
// lines, what the file lacks appended; every other byte kept, line ends
// and comments included. The fuzz target's seeds hold the same way.
TEST(SettingsFile, TheMenusChangesReplaceTheirValuesAndKeepEveryOtherByte)
{
    const std::string text = "\xEF\xBB\xBF# mine\r\nMusic_Volume = 50\r\nmusic_volume =  70   # loud\r\n"
                             "shoe_size = 9\r\nbrake=x\r\nthrottle = w#up";
    std::vector<std::string> problems;
    Settings from = ParseSettings(text, "", problems);
    Settings to = from;
    to.m_MusicVolume = 65;
    to.m_Keys.m_Keys[ACTION_THROTTLE] = 'x';
    to.m_Keys.m_Keys[ACTION_BRAKE] = 'w';
    to.m_Ghost = false;
    EXPECT_EQ(RewriteSettings(text, from, to),
              "\xEF\xBB\xBF# mine\r\nMusic_Volume = 50\r\nmusic_volume =  65   # loud\r\n"
              "shoe_size = 9\r\nbrake=w\r\nthrottle = x#up\r\nghost = no\r\n");
    EXPECT_EQ(RewriteSettings(text, from, from), text);

    // A line binding a key that a changed action takes is outvoted by a
    // line at the end, so that the file reads back as the menu had it.
    from = ParseSettings("brake = w\n", "", problems);  // refused: w is throttle's
    to = from;
    to.m_Keys.m_Keys[ACTION_THROTTLE] = 'x';
    std::string rewritten = RewriteSettings("brake = w\n", from, to);
    EXPECT_FALSE(SettingsDiffer(ParseSettings(rewritten, "", problems), to)) << rewritten;

    const std::string seeds = VELLMORA_SOURCE_DIR "/fuzz/seeds/settings/";
    DIR* folder = opendir(seeds.c_str());
    ASSERT_TRUE(folder != NULL);
    int replayed = 0;
    while (dirent* entry = readdir(folder)) {
        std::ifstream file(seeds + entry->d_name, std::ios::binary);
        std::stringstream bytes;
        bytes << file.rdbuf();
        std::string seed = bytes.str();
        if (entry->d_name[0] != '.') {
            EXPECT_TRUE(TrySettingsRewrite(reinterpret_cast<const uint8_t*>(seed.data()), seed.size())) << entry->d_name;
            ++replayed;
        }
    }
    closedir(folder);
    EXPECT_GE(replayed, 5);
}

// Written by the player's files' steps: no file, one with just what
// differs; nothing written when nothing differs; a link stays a link; a
// file that cannot be read whole is not replaced; and a game killed at any
// moment of a write leaves the old file or the new one, never a part.
TEST(SettingsFile, WrittenWholeThroughALinkOrNotAtAll)
{
    TempDir dir;
    std::string problem;
    Settings designed;
    Settings quiet;
    quiet.m_MusicVolume = 20;
    ASSERT_TRUE(SaveSettings(dir.Path() + "/conf/vellmora.conf", designed, quiet, problem)) << problem;
    EXPECT_EQ(dir.ReadFile("conf/vellmora.conf"), "music_volume = 20\n");
    struct stat before;
    stat("conf/vellmora.conf", &before);
    ASSERT_TRUE(SaveSettings("conf/vellmora.conf", quiet, quiet, problem));
    struct stat after;
    stat("conf/vellmora.conf", &after);
    EXPECT_EQ(before.st_ino, after.st_ino) << "rewritten with nothing changed";

    ASSERT_EQ(symlink("conf/vellmora.conf", "link.conf"), 0);
    Settings loud = quiet;
    loud.m_MusicVolume = 90;
    ASSERT_TRUE(SaveSettings("link.conf", quiet, loud, problem));
    struct stat link;
    EXPECT_TRUE(lstat("link.conf", &link) == 0 && S_ISLNK(link.st_mode));
    EXPECT_EQ(dir.ReadFile("conf/vellmora.conf"), "music_volume = 90\n");
    ASSERT_EQ(mkdir("folder.conf", 0700), 0);
    EXPECT_FALSE(SaveSettings("folder.conf", quiet, loud, problem));
    EXPECT_EQ(problem, "is a folder");

    // Two versions written turn about; each kill finds one of them whole.
    const std::string versions[2] = {"music_volume = 90\n", "music_volume = 10\n"};
    srand(7);
    for (int kill = 0; kill < 30; ++kill) {
        pid_t writer = fork();
        if (writer == 0) {
            Settings a = loud;
            Settings b = loud;
            b.m_MusicVolume = 10;
            std::string ignored;
            for (;;) {
                SaveSettings("conf/vellmora.conf", a, b, ignored);
                SaveSettings("conf/vellmora.conf", b, a, ignored);
            }
        }
        usleep(1000 + rand() % 20000);
        ::kill(writer, SIGKILL);
        waitpid(writer, NULL, 0);
        std::string left = dir.ReadFile("conf/vellmora.conf");
        EXPECT_TRUE(left == versions[0] || left == versions[1]) << "after kill " << kill << ": " << left;
    }
}
