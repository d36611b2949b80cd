// The menu's screens and moves.
#include "app/Menu.h"

#include <SDL/SDL.h>
#include <algorithm>
#include <cstdio>
#include <map>

#include "game/Layout.h"
#include "game/Round.h"

namespace {

const char* const TOP_ROWS[] = {"Continue", "Fly again", "New layout", "Go to layout",
                                "Records", "Settings", "Controls", "Quit"};
enum { TOP_CONTINUE, TOP_FLY_AGAIN, TOP_NEW_LAYOUT, TOP_GO_TO_LAYOUT, TOP_RECORDS, TOP_SETTINGS, TOP_CONTROLS, TOP_QUIT };
const MenuAnswer FINISH_ANSWERS[] = {ANSWER_FLY_AGAIN, ANSWER_NEW_LAYOUT, ANSWER_STAY};

const char* const SETTING_LABELS[SETTING_ACTION_FIRST] = {
    "Full screen", "Mouse sensitivity", "Invert mouse", "Music volume", "Effects volume",
    "Keys by", "Pause unfocused", "Layout at start", "Ghost",
};

const char* const ACTION_LABELS[ACTION_COUNT] = {
    "Throttle", "Brake", "Strafe left", "Strafe right", "Roll left", "Roll right", "Afterburner",
    "Cockpit view", "Outside view", "Light", "Fly again", "New layout", "Pause, menu", "Screenshot",
};
const char* const PAD_LABELS[ACTION_COUNT] = {
    "RT", "LT", "D-pad left", "D-pad right", "LB", "RB", "A", "Y", "X", "B", "Back", "", "Start", "",
};

// Steps a player can feel at both ends: a tenth of the value or so.
const float SENSITIVITY_STEPS[] = {0.05f, 0.06f, 0.07f, 0.08f, 0.1f, 0.12f, 0.15f, 0.2f, 0.25f, 0.3f,
                                   0.4f,  0.5f,  0.6f,  0.7f,  0.8f, 0.9f,  1.0f,  1.1f, 1.25f, 1.5f,
                                   1.75f, 2.0f,  2.5f,  3.0f,  4.0f, 5.0f,  6.0f,  7.0f, 8.5f,  10.0f};
const int SENSITIVITY_STEP_COUNT = sizeof SENSITIVITY_STEPS / sizeof SENSITIVITY_STEPS[0];

// The keys a pad or the arrows step through on the controls screen; any
// key at all can be pressed for a row.
std::vector<int> SteppedKeys()
{
    std::vector<int> keys;
    for (int key = 'a'; key <= 'z'; ++key) {
        keys.push_back(key);
    }
    for (int key = '0'; key <= '9'; ++key) {
        keys.push_back(key);
    }
    const int more[] = {SDLK_TAB, SDLK_SPACE, SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT, SDLK_LSHIFT, SDLK_LCTRL,
                        SDLK_LALT, SDLK_RSHIFT, SDLK_RCTRL};
    keys.insert(keys.end(), more, more + sizeof more / sizeof more[0]);
    for (int key = SDLK_F1; key <= SDLK_F12; ++key) {
        keys.push_back(key);
    }
    return keys;
}


}  // namespace

const char* ActionLabel(int action)
{
    return ACTION_LABELS[action];
}

const char* PadLabel(int action)
{
    return PAD_LABELS[action];
}

std::string KeyLabel(int key)
{
    std::string name = SDL_GetKeyName(static_cast<SDLKey>(key));
    if (!name.empty() && name[0] >= 'a' && name[0] <= 'z') {
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
    }
    return name;
}

Menu::Menu()
    : m_Open(false), m_Scroll(0), m_KeysByPositionAtStart(false), m_FullscreenAtNextStart(false), m_Layout(0),
      m_ChosenLayout(0), m_WaitingForKey(-1), m_Records(NULL)
{
}

void Menu::Open(MenuScreen screen, const Settings& settings, int layout, const std::vector<Record>* records)
{
    m_Open = true;
    m_Screens.clear();
    m_Highlights.clear();
    m_Settings = settings;
    m_Layout = layout;
    m_Records = records;
    m_WaitingForKey = -1;
    m_Note.clear();
    Enter(screen);
}

void Menu::Enter(MenuScreen screen)
{
    m_Screens.push_back(screen);
    m_Highlights.push_back(0);
    m_Scroll = 0;
    if (screen == SCREEN_RECORDS) {
        // Each layout's best under the current rules, best first.
        static const std::vector<Record> NONE;
        std::map<int, const Record*> best;
        for (const Record& record : m_Records != NULL ? *m_Records : NONE) {
            const Record*& known = best[record.m_Layout];
            if (record.m_Rules == RULES_NUMBER && (known == NULL || record.m_Ticks < known->m_Ticks)) {
                known = &record;
            }
        }
        m_Bests.clear();
        for (const auto& layout : best) {
            if (layout.second != NULL) {
                m_Bests.push_back(*layout.second);
            }
        }
        std::stable_sort(m_Bests.begin(), m_Bests.end(),
                         [](const Record& a, const Record& b) { return a.m_Ticks < b.m_Ticks; });
        for (size_t i = 0; i < m_Bests.size(); ++i) {
            if (m_Bests[i].m_Layout == m_Layout) {
                m_Highlights.back() = static_cast<int>(i);
            }
        }
        ShowHighlight();
    }
    if (screen == SCREEN_LAYOUT_TIMES) {
        m_LayoutTimes.clear();
        for (const Record& record : *m_Records) {
            if (record.m_Rules == RULES_NUMBER && record.m_Layout == m_ChosenLayout) {
                m_LayoutTimes.push_back(record);
            }
        }
        std::stable_sort(m_LayoutTimes.begin(), m_LayoutTimes.end(),
                         [](const Record& a, const Record& b) { return a.m_Ticks < b.m_Ticks; });
        m_LayoutTimes.resize(std::min<size_t>(m_LayoutTimes.size(), 5));
    }
    if (screen == SCREEN_GO_TO_LAYOUT) {
        m_Digits.clear();
    }
}

std::vector<std::string> Menu::Heading() const
{
    std::vector<std::string> lines;
    char line[96];
    switch (Screen()) {
    case SCREEN_TOP: lines.push_back("Paused: layout " + std::to_string(m_Layout)); break;
    case SCREEN_FINISH: break;
    case SCREEN_SETTINGS: lines.push_back("Settings"); break;
    case SCREEN_CONTROLS: lines.push_back("Controls: key, pad"); break;
    case SCREEN_RECORDS:
        lines.push_back(m_Bests.empty() ? "No records yet: finish a layout" : "Records: each layout's best");
        break;
    case SCREEN_LAYOUT_TIMES: {
        lines.push_back("Layout " + std::to_string(m_ChosenLayout) + ": the best times");
        for (size_t i = 0; i < m_LayoutTimes.size(); ++i) {
            snprintf(line, sizeof line, "%zu. %s  %s", i + 1, ClockText(m_LayoutTimes[i].m_Ticks).c_str(),
                     m_LayoutTimes[i].m_Date.c_str());
            lines.push_back(line);
        }
        break;
    }
    case SCREEN_GO_TO_LAYOUT: lines.push_back("Go to layout: type its number"); break;
    }
    return lines;
}

int Menu::RowCount() const
{
    switch (Screen()) {
    case SCREEN_TOP: return TOP_QUIT + 1;
    case SCREEN_FINISH: return 3;
    case SCREEN_SETTINGS: return SETTING_ACTION_FIRST;
    case SCREEN_CONTROLS: return ACTION_COUNT + 1;
    case SCREEN_RECORDS: return static_cast<int>(m_Bests.size());
    case SCREEN_LAYOUT_TIMES:
    case SCREEN_GO_TO_LAYOUT: return 1;
    }
    return 0;
}

MenuRow Menu::Row(int row) const
{
    const int* keys = m_Settings.m_Keys.m_Keys;
    switch (Screen()) {
    case SCREEN_TOP: {
        int action = row == TOP_CONTINUE     ? ACTION_PAUSE
                     : row == TOP_FLY_AGAIN  ? ACTION_RETRY
                     : row == TOP_NEW_LAYOUT ? ACTION_NEW_LAYOUT
                                             : -1;
        return MenuRow{TOP_ROWS[row], "", action >= 0 ? KeyLabel(keys[action]) : ""};
    }
    case SCREEN_FINISH:
        return row == 0   ? MenuRow{"Fly again", "", KeyLabel(keys[ACTION_RETRY])}
               : row == 1 ? MenuRow{"New layout", "", KeyLabel(keys[ACTION_NEW_LAYOUT])}
                          : MenuRow{"Records", "", ""};
    case SCREEN_SETTINGS: {
        std::string value = SettingValue(m_Settings, row);
        if (row == SETTING_MOUSE_SENSITIVITY) {
            char number[16];
            snprintf(number, sizeof number, "%.2f", m_Settings.m_Mouse.m_DegreesPerCount);
            value = number;
        }
        bool later = (row == SETTING_FULLSCREEN &&
                      (m_FullscreenAtNextStart || m_Settings.m_Fullscreen == Settings::FULLSCREEN_ASK)) ||
                     (row == SETTING_KEYS && m_Settings.m_KeysByPosition != m_KeysByPositionAtStart) ||
                     row == SETTING_LAYOUT;
        return MenuRow{SETTING_LABELS[row], value, later ? "at the next start" : ""};
    }
    case SCREEN_CONTROLS:
        if (row == ACTION_COUNT) {
            return MenuRow{"All keys as designed", "", ""};
        }
        return MenuRow{ACTION_LABELS[row], m_WaitingForKey == row ? "Press a key" : KeyLabel(keys[row]), PAD_LABELS[row]};
    case SCREEN_RECORDS: {
        const Record& best = m_Bests[row];
        return MenuRow{"Layout " + std::to_string(best.m_Layout), ClockText(best.m_Ticks),
                       best.m_Layout == m_Layout ? best.m_Date + " (now)" : best.m_Date};
    }
    case SCREEN_LAYOUT_TIMES:
        return MenuRow{"Fly layout " + std::to_string(m_ChosenLayout), "", m_ChosenLayout == m_Layout ? "(now)" : ""};
    case SCREEN_GO_TO_LAYOUT:
        return MenuRow{"Layout", m_Digits + "_", "Enter: fly"};
    }
    return MenuRow();
}

int Menu::FirstRowY() const
{
    int top = Screen() == SCREEN_FINISH ? MENU_FINISH_PANEL_TOP : MENU_PANEL_TOP;
    return top - MENU_ROW_SPACING * (static_cast<int>(Heading().size()) + 1) - 10;
}

int Menu::ShownRows() const
{
    return std::max(1, (FirstRowY() - MENU_LOWEST_ROW_Y) / MENU_ROW_SPACING + 1);
}

MenuAnswer Menu::Move(MenuMove move)
{
    int count = RowCount();
    int& highlight = m_Highlights.back();
    switch (move) {
    case MOVE_UP:
    case MOVE_DOWN:
        if (Screen() == SCREEN_GO_TO_LAYOUT) {
            // The last digit steps, for a pad.
            if (m_Digits.empty()) {
                m_Digits = "0";
            }
            char& digit = m_Digits.back();
            digit = static_cast<char>('0' + (digit - '0' + (move == MOVE_UP ? 1 : 9)) % 10);
        } else if (count > 0) {
            highlight = (highlight + (move == MOVE_UP ? count - 1 : 1)) % count;
            ShowHighlight();
        }
        return ANSWER_STAY;
    case MOVE_LEFT:
    case MOVE_RIGHT: {
        int direction = move == MOVE_LEFT ? -1 : 1;
        if (Screen() == SCREEN_SETTINGS) {
            StepSetting(highlight, direction);
        } else if (Screen() == SCREEN_CONTROLS && highlight < ACTION_COUNT) {
            StepKey(highlight, direction);
        } else if (Screen() == SCREEN_GO_TO_LAYOUT) {
            if (direction < 0 && !m_Digits.empty()) {
                m_Digits.pop_back();
            } else if (direction > 0 && m_Digits.size() < 6) {
                m_Digits += '0';
            }
        }
        return ANSWER_STAY;
    }
    case MOVE_SELECT: return Select();
    case MOVE_BACK: return Back();
    case MOVE_CLOSE: return ANSWER_CLOSE;
    case MOVE_DELETE:
        if (Screen() == SCREEN_CONTROLS && highlight < ACTION_COUNT) {
            Bind(highlight, KeyBindings().m_Keys[highlight]);
            m_Note = std::string(ACTION_LABELS[highlight]) + " is back to " +
                     KeyLabel(m_Settings.m_Keys.m_Keys[highlight]);
        }
        return ANSWER_STAY;
    }
    return ANSWER_STAY;
}

MenuAnswer Menu::Select()
{
    int highlight = Highlight();
    m_Note.clear();
    switch (Screen()) {
    case SCREEN_TOP:
        switch (highlight) {
        case TOP_CONTINUE: return ANSWER_CLOSE;
        case TOP_FLY_AGAIN: return ANSWER_FLY_AGAIN;
        case TOP_NEW_LAYOUT: return ANSWER_NEW_LAYOUT;
        case TOP_GO_TO_LAYOUT: Enter(SCREEN_GO_TO_LAYOUT); break;
        case TOP_RECORDS: Enter(SCREEN_RECORDS); break;
        case TOP_SETTINGS: Enter(SCREEN_SETTINGS); break;
        case TOP_CONTROLS: Enter(SCREEN_CONTROLS); break;
        case TOP_QUIT: return ANSWER_QUIT;
        }
        return ANSWER_STAY;
    case SCREEN_FINISH:
        if (highlight == 2) {
            Enter(SCREEN_RECORDS);
        }
        return FINISH_ANSWERS[highlight];
    case SCREEN_SETTINGS: StepSetting(highlight, 1); return ANSWER_STAY;
    case SCREEN_CONTROLS:
        if (highlight < ACTION_COUNT) {
            m_WaitingForKey = highlight;
            m_Note = "Escape keeps " + KeyLabel(m_Settings.m_Keys.m_Keys[highlight]);
        } else {
            m_Settings.m_Keys = KeyBindings();
            m_Note = "All keys as designed";
        }
        return ANSWER_STAY;
    case SCREEN_RECORDS:
        if (!m_Bests.empty()) {
            m_ChosenLayout = m_Bests[highlight].m_Layout;
            Enter(SCREEN_LAYOUT_TIMES);
        }
        return ANSWER_STAY;
    case SCREEN_LAYOUT_TIMES: return ANSWER_FLY_LAYOUT;
    case SCREEN_GO_TO_LAYOUT: return GoToLayout();
    }
    return ANSWER_STAY;
}

MenuAnswer Menu::GoToLayout()
{
    long number = m_Digits.empty() ? -1 : std::stol(m_Digits);
    if (number >= LAYOUT_FIRST && number <= LAYOUT_LAST) {
        m_ChosenLayout = static_cast<int>(number);
        return ANSWER_FLY_LAYOUT;
    }
    m_Note = m_Digits.empty() ? "Type a number first" : m_Digits + " is no layout: they run from 1 to 99999";
    return ANSWER_STAY;
}

MenuAnswer Menu::Back()
{
    MenuScreen left = Screen();
    m_Note.clear();
    m_WaitingForKey = -1;
    if (m_Screens.size() == 1) {
        return ANSWER_CLOSE;
    }
    m_Screens.pop_back();
    m_Highlights.pop_back();
    m_Scroll = 0;
    ShowHighlight();
    return left == SCREEN_SETTINGS || left == SCREEN_CONTROLS ? ANSWER_SAVE : ANSWER_STAY;
}

void Menu::StepSetting(int row, int direction)
{
    Settings& s = m_Settings;
    switch (row) {
    case SETTING_FULLSCREEN: s.m_Fullscreen = static_cast<Settings::FullscreenChoice>((s.m_Fullscreen + 3 + direction) % 3); break;
    case SETTING_MOUSE_SENSITIVITY: {
        float& value = s.m_Mouse.m_DegreesPerCount;
        if (direction > 0) {
            const float* next = std::upper_bound(SENSITIVITY_STEPS, SENSITIVITY_STEPS + SENSITIVITY_STEP_COUNT, value);
            value = next == SENSITIVITY_STEPS + SENSITIVITY_STEP_COUNT ? value : *next;
        } else {
            const float* next = std::lower_bound(SENSITIVITY_STEPS, SENSITIVITY_STEPS + SENSITIVITY_STEP_COUNT, value);
            value = next == SENSITIVITY_STEPS ? value : *(next - 1);
        }
        break;
    }
    case SETTING_INVERT_MOUSE: s.m_Mouse.m_Inverted = !s.m_Mouse.m_Inverted; break;
    case SETTING_MUSIC_VOLUME:
    case SETTING_EFFECTS_VOLUME: {
        // To the next multiple of 5 that way, within 0 to 100.
        int& volume = row == SETTING_MUSIC_VOLUME ? s.m_MusicVolume : s.m_EffectsVolume;
        volume = direction > 0 ? std::min(100, (volume / 5 + 1) * 5) : std::max(0, ((volume + 4) / 5 - 1) * 5);
        break;
    }
    case SETTING_KEYS: s.m_KeysByPosition = !s.m_KeysByPosition; break;
    case SETTING_PAUSE_WHEN_UNFOCUSED: s.m_PauseWhenUnfocused = !s.m_PauseWhenUnfocused; break;
    case SETTING_LAYOUT:
        // Random, or a number from the one flown now.
        if (s.m_Layout == 0) {
            s.m_Layout = direction > 0 ? m_Layout : 0;
        } else {
            s.m_Layout = std::min(LAYOUT_LAST, s.m_Layout + direction);
        }
        break;
    case SETTING_GHOST: s.m_Ghost = !s.m_Ghost; break;
    }
}

void Menu::StepKey(int action, int direction)
{
    // To the next key that serves no other action.
    std::vector<int> keys = SteppedKeys();
    int count = static_cast<int>(keys.size());
    int at = static_cast<int>(std::find(keys.begin(), keys.end(), m_Settings.m_Keys.m_Keys[action]) - keys.begin());
    for (int step = 1; step <= count; ++step) {
        int next = at == count ? (direction > 0 ? step - 1 : count - step) : ((at + direction * step) % count + count) % count;
        int key = keys[next];
        const int* bound = std::find(m_Settings.m_Keys.m_Keys, m_Settings.m_Keys.m_Keys + ACTION_COUNT, key);
        if (bound == m_Settings.m_Keys.m_Keys + ACTION_COUNT) {
            m_Settings.m_Keys.m_Keys[action] = key;
            return;
        }
    }
}

void Menu::Bind(int action, int key)
{
    int* keys = m_Settings.m_Keys.m_Keys;
    int old = keys[action];
    for (int other = 0; other < ACTION_COUNT; ++other) {
        if (other != action && keys[other] == key) {
            keys[other] = old;
            m_Note = KeyLabel(key) + " was " + ACTION_LABELS[other] + "'s key; " + ACTION_LABELS[other] + " now has " +
                     KeyLabel(old);
        }
    }
    keys[action] = key;
}

MenuAnswer Menu::Key(int keySymbol)
{
    const int* keys = m_Settings.m_Keys.m_Keys;
    if (m_WaitingForKey >= 0) {
        int action = m_WaitingForKey;
        m_WaitingForKey = -1;
        m_Note.clear();
        if (keySymbol == SDLK_ESCAPE) {
            m_Note = std::string(ACTION_LABELS[action]) + " keeps " + KeyLabel(keys[action]);
        } else if (!KeyCanBeNamed(keySymbol)) {
            m_Note = "That key has no name the game can keep; press Enter and another";
        } else {
            Bind(action, keySymbol);
        }
        return ANSWER_STAY;
    }
    if (Screen() == SCREEN_GO_TO_LAYOUT) {
        int digit = keySymbol >= '0' && keySymbol <= '9'             ? keySymbol - '0'
                    : keySymbol >= SDLK_KP0 && keySymbol <= SDLK_KP9 ? keySymbol - SDLK_KP0
                                                                      : -1;
        if (digit >= 0) {
            if (m_Digits.size() < 6) {
                m_Digits += static_cast<char>('0' + digit);
            }
            m_Note.clear();
            return ANSWER_STAY;
        }
        if (keySymbol == SDLK_BACKSPACE && !m_Digits.empty()) {
            m_Digits.pop_back();
            return ANSWER_STAY;
        }
    }
    if (keySymbol == SDLK_ESCAPE || keySymbol == SDLK_BACKSPACE) {
        return Move(MOVE_BACK);
    }
    if (keySymbol == SDLK_RETURN || keySymbol == SDLK_KP_ENTER) {
        return Move(MOVE_SELECT);
    }
    if (keySymbol == SDLK_DELETE) {
        return Move(MOVE_DELETE);
    }
    if (keySymbol == keys[ACTION_PAUSE]) {
        return Move(MOVE_CLOSE);
    }
    if (Screen() == SCREEN_TOP || Screen() == SCREEN_FINISH) {
        if (keySymbol == keys[ACTION_RETRY]) {
            return ANSWER_FLY_AGAIN;
        }
        if (keySymbol == keys[ACTION_NEW_LAYOUT]) {
            return ANSWER_NEW_LAYOUT;
        }
    }
    if (keySymbol == SDLK_UP || keySymbol == keys[ACTION_THROTTLE]) {
        return Move(MOVE_UP);
    }
    if (keySymbol == SDLK_DOWN || keySymbol == keys[ACTION_BRAKE]) {
        return Move(MOVE_DOWN);
    }
    if (keySymbol == SDLK_LEFT || keySymbol == keys[ACTION_STRAFE_LEFT]) {
        return Move(MOVE_LEFT);
    }
    if (keySymbol == SDLK_RIGHT || keySymbol == keys[ACTION_STRAFE_RIGHT]) {
        return Move(MOVE_RIGHT);
    }
    return ANSWER_STAY;
}

int Menu::RowAt(int x, int y) const
{
    if (x < MENU_PANEL_LEFT || x > MENU_PANEL_RIGHT) {
        return -1;
    }
    // A row's band: from a little under its baseline to the next row's.
    int shown = (FirstRowY() + MENU_ROW_SPACING - 8 - y) / MENU_ROW_SPACING;
    if (y > FirstRowY() + MENU_ROW_SPACING - 8 || shown >= ShownRows()) {
        return -1;
    }
    int row = m_Scroll + shown;
    return row < RowCount() ? row : -1;
}

void Menu::Point(int x, int y)
{
    int row = RowAt(x, y);
    if (row >= 0 && m_WaitingForKey < 0) {
        m_Highlights.back() = row;
    }
}

MenuAnswer Menu::Click(int x, int y)
{
    int row = RowAt(x, y);
    if (row < 0 || m_WaitingForKey >= 0) {
        return ANSWER_STAY;
    }
    m_Highlights.back() = row;
    if (Screen() == SCREEN_SETTINGS && x >= MENU_VALUE_X) {
        StepSetting(row, x < MENU_VALUE_X + 60 ? -1 : 1);
        return ANSWER_STAY;
    }
    return Select();
}

void Menu::Scroll(int rows)
{
    m_Scroll = std::max(0, std::min(m_Scroll + rows, RowCount() - ShownRows()));
    int& highlight = m_Highlights.back();
    highlight = std::max(m_Scroll, std::min(highlight, m_Scroll + ShownRows() - 1));
}

void Menu::ShowHighlight()
{
    int highlight = Highlight();
    if (highlight < m_Scroll) {
        m_Scroll = highlight;
    } else if (highlight >= m_Scroll + ShownRows()) {
        m_Scroll = highlight - ShownRows() + 1;
    }
}
