// The player's settings: one optional file, $XDG_CONFIG_HOME/vellmora/
// vellmora.conf (~/.config/... when unset), read once at start before the
// full-screen question, and written by the menu only when the player changes
// something there (see SettingsFile.h). Without the file every
// setting is the game as designed; a line it cannot take is reported and
// leaves its setting as it stood, so a bad file never stops the game nor
// loses a good line. The controls, the video set-up and the sound take
// values from the struct, never the file.
#ifndef APP_SETTINGS_H
#define APP_SETTINGS_H

#include <string>
#include <vector>

#include "app/Controls.h"

// Far more than any settings file; what lies past it is not read, nor the
// line it cuts, and such a file is never rewritten.
static const long long SETTINGS_MOST_BYTES = 1024 * 1024;

struct Settings {
    enum FullscreenChoice { FULLSCREEN_ASK, FULLSCREEN_YES, FULLSCREEN_NO };

    FullscreenChoice m_Fullscreen;  // ask: the question at start
    MouseFeel m_Mouse;              // degrees per count (0.05 to 10), and inverted or not
    int m_MusicVolume;              // percent of full, 0 to 100
    int m_EffectsVolume;            // percent of full, 0 to 100
    bool m_KeysByPosition;          // keys where they sit on a US keyboard, whatever the layout
    KeyBindings m_Keys;             // the key of each action
    bool m_PauseWhenUnfocused;      // no ticks while the window has lost the input focus
    int m_Layout;                   // the layout flown, 1..99999; 0 (random): drawn from the time
    bool m_Ghost;                   // the layout's best round flies beside the player's

    // The game as designed.
    Settings();
};

// The settings in text, a file's contents: lines "name = value", "#" to the
// line's end a comment, blank lines and surrounding spaces ignored, names
// and words in any case. Each line it cannot take adds one message naming
// fileName and the line's number to outProblems.
Settings ParseSettings(const std::string& text, const char* fileName, std::vector<std::string>& outProblems);

// The settings a file can hold, in the file's order: fullscreen,
// mouse_sensitivity, invert_mouse, music_volume, effects_volume, keys,
// pause_when_unfocused, layout, ghost, then one per key action.
enum {
    SETTING_FULLSCREEN, SETTING_MOUSE_SENSITIVITY, SETTING_INVERT_MOUSE, SETTING_MUSIC_VOLUME,
    SETTING_EFFECTS_VOLUME, SETTING_KEYS, SETTING_PAUSE_WHEN_UNFOCUSED, SETTING_LAYOUT, SETTING_GHOST,
    SETTING_ACTION_FIRST, SETTING_COUNT = SETTING_ACTION_FIRST + ACTION_COUNT
};

// Whether the file can hold the key: it may be bound (Escape may not) and
// its name reads back as this key, not another of the same name.
bool KeyCanBeNamed(int key);

// A setting's name as the file spells it ("music_volume", "throttle").
const char* SettingName(int setting);
// A setting's value as the file would spell it ("80", "left shift"), which
// the parser reads back to the same value.
std::string SettingValue(const Settings& settings, int setting);
// Sets one setting of to as it stands in from.
void CopySetting(Settings& to, const Settings& from, int setting);

// As above, and outSettingOfLine[i] is the setting that line i + 1 set
// (the line read, though a key taken by a later line may undo it), or -1
// for a line that set none: blank, a comment, unknown or not readable.
// outLastLines, when given, is each action's key as its last line names it
// (the design's without one), before a key serves one action.
Settings ParseSettingsLines(const std::string& text, const char* fileName, std::vector<std::string>& outProblems,
                            std::vector<int>& outSettingOfLine, KeyBindings* outLastLines = NULL);

// Where the file is looked for; empty when neither XDG_CONFIG_HOME nor HOME
// is set.
std::string SettingsPath();

// The settings of the file at path. No file: the defaults, and nothing is
// logged. Otherwise the log says "Settings: PATH" and gives every problem;
// a file that cannot be read is logged and ignored.
Settings LoadSettings(const std::string& path);

#endif
