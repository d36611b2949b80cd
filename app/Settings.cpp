// Reading the player's settings file.
#include "app/Settings.h"

#include <SDL/SDL.h>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <unistd.h>

#include "base/Logger.h"
#include "base/PlayerFiles.h"
#include "game/Layout.h"

namespace {

const size_t MOST_BYTES = SETTINGS_MOST_BYTES;

// Notepad begins a UTF-8 file with one.
const char BYTE_ORDER_MARK[] = "\xEF\xBB\xBF";

const char* const ACTION_NAMES[ACTION_COUNT] = {
    "throttle", "brake", "strafe_left", "strafe_right", "roll_left",
    "roll_right", "afterburner", "cockpit_view", "outside_view", "light", "retry", "new_layout", "pause",
    "screenshot",
};

// The settings before the keys, in the order of the setting numbers.
const char* const SETTING_NAMES[SETTING_ACTION_FIRST] = {
    "fullscreen", "mouse_sensitivity", "invert_mouse", "music_volume", "effects_volume", "keys",
    "pause_when_unfocused", "layout", "ghost",
};

const char* const FULLSCREEN_WORDS[] = {"ask", "yes", "no"};
const char* const NO_YES[] = {"no", "yes"};
const char* const KEYS_WORDS[] = {"letters", "positions"};

std::string Trimmed(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r\f\v");
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(" \t\r\f\v") - first + 1);
}

std::string Lower(std::string text)
{
    for (char& c : text) {
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return text;
}

// The SDL key symbol SDL_GetKeyName spells so, or 0.
int KeyNamed(const std::string& name)
{
    for (int key = 1; key < SDLK_LAST; ++key) {
        const char* spelled = SDL_GetKeyName(static_cast<SDLKey>(key));
        if (spelled != NULL && strcasecmp(spelled, name.c_str()) == 0 && strcmp(spelled, "unknown key") != 0) {
            return key;
        }
    }
    return 0;
}

// A key's name for messages.
std::string KeyName(int key)
{
    return key != 0 ? SDL_GetKeyName(static_cast<SDLKey>(key)) : "no key";
}

// One "action = key" line that named a key.
struct Binding {
    int m_Action;
    int m_Key;
    int m_Line;
};

class Parser {
public:
    Parser(const char* fileName, std::vector<std::string>& problems) : m_FileName(fileName), m_Problems(problems) {}

    void Line(int number, const std::string& text);
    // Settles the rebound keys once every line is read: a key serves one action.
    void Bind();

    Settings m_Settings;
    std::vector<int> m_SettingOfLine;  // see ParseSettingsLines

private:
    void Problem(int line, const char* format, ...) __attribute__((format(printf, 3, 4)));
    // Returns the setting the line set, or -1.
    int Take(int line, const std::string& name, const std::string& value);
    // Sets inOut to the word's index among words; false when it is none.
    bool Word(int line, const std::string& name, const std::string& value, const char* const* words, int count,
              int& inOut);
    // The bounds are doubles, as the number is read: 0.05 as a float is a
    // little over 0.05, and would turn the least value away.
    bool Number(int line, const std::string& name, const std::string& value, double low, double high, float& inOut);
    bool Percent(int line, const std::string& name, const std::string& value, int& inOut);
    bool Layout(int line, const std::string& value, int& inOut);
    bool Key(int line, int action, const std::string& value);

    const char* m_FileName;
    std::vector<std::string>& m_Problems;
    std::vector<Binding> m_Bindings;
};

void Parser::Problem(int line, const char* format, ...)
{
    char text[512];
    int used = snprintf(text, sizeof text, "%s line %d: ", m_FileName, line);
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(text + used, sizeof text - used, format, arguments);
    va_end(arguments);
    m_Problems.push_back(text);
}

void Parser::Line(int number, const std::string& text)
{
    m_SettingOfLine.resize(number, -1);
    std::string line = Trimmed(text.substr(0, text.find('#')));
    if (line.empty()) {
        return;
    }
    // The C strings the values are read from would end at it.
    if (line.find('\0') != std::string::npos) {
        Problem(number, "holds a NUL byte; ignored");
        return;
    }
    size_t equals = line.find('=');
    if (equals == std::string::npos) {
        Problem(number, "not a setting (name = value); ignored");
        return;
    }
    m_SettingOfLine[number - 1] = Take(number, Lower(Trimmed(line.substr(0, equals))), Lower(Trimmed(line.substr(equals + 1))));
}

int Parser::Take(int line, const std::string& name, const std::string& value)
{
    Settings& s = m_Settings;
    int choice = 0;
    if (name == "fullscreen") {
        choice = s.m_Fullscreen;
        if (!Word(line, name, value, FULLSCREEN_WORDS, 3, choice)) {
            return -1;
        }
        s.m_Fullscreen = static_cast<Settings::FullscreenChoice>(choice);
    } else if (name == "invert_mouse" || name == "pause_when_unfocused" || name == "keys" || name == "ghost") {
        bool& flag = name == "invert_mouse" ? s.m_Mouse.m_Inverted
                     : name == "keys"       ? s.m_KeysByPosition
                     : name == "ghost"      ? s.m_Ghost
                                            : s.m_PauseWhenUnfocused;
        choice = flag ? 1 : 0;
        if (!Word(line, name, value, name == "keys" ? KEYS_WORDS : NO_YES, 2, choice)) {
            return -1;
        }
        flag = choice == 1;
    } else if (name == "mouse_sensitivity") {
        if (!Number(line, name, value, 0.05, 10.0, s.m_Mouse.m_DegreesPerCount)) {
            return -1;
        }
    } else if (name == "music_volume" || name == "effects_volume") {
        if (!Percent(line, name, value, name == "music_volume" ? s.m_MusicVolume : s.m_EffectsVolume)) {
            return -1;
        }
    } else if (name == "layout") {
        if (!Layout(line, value, s.m_Layout)) {
            return -1;
        }
    } else {
        for (int action = 0; action < ACTION_COUNT; ++action) {
            if (name == ACTION_NAMES[action]) {
                return Key(line, action, value) ? SETTING_ACTION_FIRST + action : -1;
            }
        }
        Problem(line, "no setting is called %s; ignored", name.c_str());
        return -1;
    }
    for (int setting = 0; setting < SETTING_ACTION_FIRST; ++setting) {
        if (name == SETTING_NAMES[setting]) {
            return setting;
        }
    }
    return -1;
}

bool Parser::Word(int line, const std::string& name, const std::string& value, const char* const* words, int count,
                  int& inOut)
{
    for (int i = 0; i < count; ++i) {
        if (value == words[i]) {
            inOut = i;
            return true;
        }
    }
    std::string choices = words[0];
    for (int i = 1; i < count; ++i) {
        choices += i + 1 < count ? ", " : " or ";
        choices += words[i];
    }
    Problem(line, "%s must be %s; kept %s", name.c_str(), choices.c_str(), words[inOut]);
    return false;
}

bool Parser::Number(int line, const std::string& name, const std::string& value, double low, double high,
                    float& inOut)
{
    char* end = NULL;
    double number = strtod(value.c_str(), &end);
    // The negated test turns a NaN away too.
    if (value.empty() || *end != '\0' || !(number >= low && number <= high)) {
        Problem(line, "%s must be a number from %g to %g; kept %g", name.c_str(), low, high, inOut);
        return false;
    }
    inOut = static_cast<float>(number);
    return true;
}

// Sets outNumber to value when it is a whole number from low to high.
static bool WholeNumber(const std::string& value, long low, long high, int& outNumber)
{
    char* end = NULL;
    long number = strtol(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0' || number < low || number > high) {
        return false;
    }
    outNumber = static_cast<int>(number);
    return true;
}

bool Parser::Percent(int line, const std::string& name, const std::string& value, int& inOut)
{
    if (!WholeNumber(value, 0, 100, inOut)) {
        Problem(line, "%s must be a whole number from 0 to 100; kept %d", name.c_str(), inOut);
        return false;
    }
    return true;
}

bool Parser::Layout(int line, const std::string& value, int& inOut)
{
    if (value == "random") {
        inOut = 0;
    } else if (!WholeNumber(value, LAYOUT_FIRST, LAYOUT_LAST, inOut)) {
        std::string kept = inOut == 0 ? "random" : std::to_string(inOut);
        Problem(line, "layout must be random or a whole number from %d to %d; kept %s", LAYOUT_FIRST, LAYOUT_LAST,
                kept.c_str());
        return false;
    }
    return true;
}

bool Parser::Key(int line, int action, const std::string& value)
{
    int key = KeyNamed(value);
    int& bound = m_Settings.m_Keys.m_Keys[action];
    if (key == KEY_ESCAPE) {
        Problem(line, "escape always quits and cannot be bound; kept %s", KeyName(bound).c_str());
    } else if (key == 0) {
        Problem(line, "%s must be a key's name, such as w, up or left shift; kept %s", ACTION_NAMES[action],
                KeyName(bound).c_str());
    } else {
        Binding binding = {action, key, line};
        m_Bindings.push_back(binding);
        bound = key;
        return true;
    }
    return false;
}

// A key may serve one action. Each action takes the key of its last line;
// where two actions then share a key, the one whose line came later goes
// back to its key before that line (an earlier line's, else its own), and
// so on until every key is one action's. The defaults are all different,
// and every step moves one action to an earlier line, so this ends.
void Parser::Bind()
{
    const KeyBindings defaults;
    KeyBindings& keys = m_Settings.m_Keys;
    std::vector<int> from(ACTION_COUNT, -1);  // the binding each action's key comes from; -1: its default
    for (size_t i = 0; i < m_Bindings.size(); ++i) {
        from[m_Bindings[i].m_Action] = static_cast<int>(i);
    }
    for (;;) {
        int later = -1;
        int other = -1;
        for (int a = 0; a < ACTION_COUNT && later < 0; ++a) {
            for (int b = 0; b < ACTION_COUNT && later < 0; ++b) {
                if (a != b && keys.m_Keys[a] == keys.m_Keys[b] && from[a] > from[b]) {
                    later = a;
                    other = b;
                }
            }
        }
        if (later < 0) {
            return;
        }
        const Binding& lost = m_Bindings[from[later]];
        int earlier = from[later] - 1;
        while (earlier >= 0 && m_Bindings[earlier].m_Action != later) {
            --earlier;
        }
        from[later] = earlier;
        keys.m_Keys[later] = earlier >= 0 ? m_Bindings[earlier].m_Key : defaults.m_Keys[later];
        Problem(lost.m_Line, "%s is already %s's key; kept %s", KeyName(lost.m_Key).c_str(), ACTION_NAMES[other],
                KeyName(keys.m_Keys[later]).c_str());
    }
}

}  // namespace

Settings::Settings()
    : m_Fullscreen(FULLSCREEN_ASK), m_Mouse(), m_MusicVolume(100),
      m_EffectsVolume(100), m_KeysByPosition(false), m_Keys(), m_PauseWhenUnfocused(false), m_Layout(0),
      m_Ghost(true)
{
}

Settings ParseSettings(const std::string& text, const char* fileName, std::vector<std::string>& outProblems)
{
    std::vector<int> settingOfLine;
    return ParseSettingsLines(text, fileName, outProblems, settingOfLine);
}

Settings ParseSettingsLines(const std::string& text, const char* fileName, std::vector<std::string>& outProblems,
                            std::vector<int>& outSettingOfLine, KeyBindings* outLastLines)
{
    Parser parser(fileName, outProblems);
    int number = 0;
    size_t start = text.compare(0, 3, BYTE_ORDER_MARK) == 0 ? 3 : 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        parser.Line(++number, text.substr(start, end - start));
        start = end + 1;
    }
    if (outLastLines != NULL) {
        *outLastLines = parser.m_Settings.m_Keys;
    }
    parser.Bind();
    outSettingOfLine.swap(parser.m_SettingOfLine);
    outSettingOfLine.resize(number, -1);
    return parser.m_Settings;
}

bool KeyCanBeNamed(int key)
{
    return key > 0 && key < SDLK_LAST && key != KEY_ESCAPE && KeyNamed(KeyName(key)) == key;
}

const char* SettingName(int setting)
{
    return setting < SETTING_ACTION_FIRST ? SETTING_NAMES[setting] : ACTION_NAMES[setting - SETTING_ACTION_FIRST];
}

std::string SettingValue(const Settings& s, int setting)
{
    char number[32];
    switch (setting) {
    case SETTING_FULLSCREEN: return FULLSCREEN_WORDS[s.m_Fullscreen];
    case SETTING_MOUSE_SENSITIVITY:
        // The shortest spelling that reads back to the same float.
        for (int digits = 3; digits < 10; ++digits) {
            snprintf(number, sizeof number, "%.*g", digits, s.m_Mouse.m_DegreesPerCount);
            if (static_cast<float>(strtod(number, NULL)) == s.m_Mouse.m_DegreesPerCount) {
                break;
            }
        }
        return number;
    case SETTING_INVERT_MOUSE: return NO_YES[s.m_Mouse.m_Inverted ? 1 : 0];
    case SETTING_MUSIC_VOLUME: return std::to_string(s.m_MusicVolume);
    case SETTING_EFFECTS_VOLUME: return std::to_string(s.m_EffectsVolume);
    case SETTING_KEYS: return KEYS_WORDS[s.m_KeysByPosition ? 1 : 0];
    case SETTING_PAUSE_WHEN_UNFOCUSED: return NO_YES[s.m_PauseWhenUnfocused ? 1 : 0];
    case SETTING_LAYOUT: return s.m_Layout == 0 ? "random" : std::to_string(s.m_Layout);
    case SETTING_GHOST: return NO_YES[s.m_Ghost ? 1 : 0];
    default: return KeyName(s.m_Keys.m_Keys[setting - SETTING_ACTION_FIRST]);
    }
}

void CopySetting(Settings& to, const Settings& from, int setting)
{
    switch (setting) {
    case SETTING_FULLSCREEN: to.m_Fullscreen = from.m_Fullscreen; break;
    case SETTING_MOUSE_SENSITIVITY: to.m_Mouse.m_DegreesPerCount = from.m_Mouse.m_DegreesPerCount; break;
    case SETTING_INVERT_MOUSE: to.m_Mouse.m_Inverted = from.m_Mouse.m_Inverted; break;
    case SETTING_MUSIC_VOLUME: to.m_MusicVolume = from.m_MusicVolume; break;
    case SETTING_EFFECTS_VOLUME: to.m_EffectsVolume = from.m_EffectsVolume; break;
    case SETTING_KEYS: to.m_KeysByPosition = from.m_KeysByPosition; break;
    case SETTING_PAUSE_WHEN_UNFOCUSED: to.m_PauseWhenUnfocused = from.m_PauseWhenUnfocused; break;
    case SETTING_LAYOUT: to.m_Layout = from.m_Layout; break;
    case SETTING_GHOST: to.m_Ghost = from.m_Ghost; break;
    default:
        to.m_Keys.m_Keys[setting - SETTING_ACTION_FIRST] = from.m_Keys.m_Keys[setting - SETTING_ACTION_FIRST];
        break;
    }
}

std::string SettingsPath()
{
    return PlayerFilePath("XDG_CONFIG_HOME", ".config", "vellmora.conf");
}

Settings LoadSettings(const std::string& path)
{
    long long size = 0;
    const char* kind = NULL;
    int fd = OpenRegularFile(path, &size, &kind);
    if (fd < 0) {
        if (kind != NULL) {
            LogMessage("Settings: %s is %s, which the game does not read; the game's own settings are used",
                       path.c_str(), kind);
        } else if (errno != ENOENT && errno != ENOTDIR) {
            LogMessage("Settings: %s could not be read (%s); the game's own settings are used", path.c_str(),
                       strerror(errno));
        }
        return Settings();
    }
    // One byte past the limit tells a larger file.
    std::string text(MOST_BYTES + 1, '\0');
    long long got = ReadUpTo(fd, &text[0], text.size());
    close(fd);
    if (got < 0) {
        LogMessage("Settings: %s could not be read; the game's own settings are used", path.c_str());
        return Settings();
    }
    text.resize(static_cast<size_t>(got));
    LogMessage("Settings: %s", path.c_str());
    if (text.size() > MOST_BYTES) {
        // Never half a line: the cut one could name another setting.
        text.resize(MOST_BYTES);
        size_t lastEnd = text.rfind('\n');
        text.resize(lastEnd == std::string::npos ? 0 : lastEnd + 1);
        LogMessage("Settings: %s is over %zu KiB; only its first %zu bytes, whole lines, are read", path.c_str(),
                   MOST_BYTES / 1024, text.size());
    }
    std::vector<std::string> problems;
    Settings settings = ParseSettings(text, "vellmora.conf", problems);
    for (const std::string& problem : problems) {
        LogMessage("%s", problem.c_str());
    }
    return settings;
}
