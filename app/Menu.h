// The menu over the frozen game: its screens, their rows and what a move
// on them does. It knows no device and draws nothing: the game turns keys,
// clicks and the pad into moves, draws the rows it lists where it places
// them (in the overlay's pixels, y up from the window's bottom), and does
// what a move answers (fly, quit, save the settings). Its settings are the
// player's as changed here; the game takes them into play after each move.
#ifndef APP_MENU_H
#define APP_MENU_H

#include <string>
#include <vector>

#include "app/Settings.h"
#include "game/Records.h"

enum MenuScreen {
    SCREEN_TOP,            // Continue ... Quit
    SCREEN_FINISH,         // under the finish screen's lines: Fly again, New layout, Records
    SCREEN_SETTINGS,
    SCREEN_CONTROLS,
    SCREEN_RECORDS,        // every layout's best, best first
    SCREEN_LAYOUT_TIMES,   // one layout's five best, and flying it
    SCREEN_GO_TO_LAYOUT
};

// A player's move, from whatever device.
enum MenuMove { MOVE_UP, MOVE_DOWN, MOVE_LEFT, MOVE_RIGHT, MOVE_SELECT, MOVE_BACK, MOVE_CLOSE, MOVE_DELETE };

// What the game does after a move.
enum MenuAnswer {
    ANSWER_STAY,        // the menu stays; its settings may have changed
    ANSWER_CLOSE,       // fly on
    ANSWER_FLY_AGAIN,   // the same layout from its start
    ANSWER_NEW_LAYOUT,
    ANSWER_FLY_LAYOUT,  // m_ChosenLayout from its start
    ANSWER_QUIT,
    ANSWER_SAVE         // a screen of settings was left: write what changed
};

struct MenuRow {
    std::string m_Text;
    std::string m_Value;  // a setting's value, a key; empty for none
    std::string m_Key;    // the key that does it from the menu, or a pad's control
};

// Where the menu draws, in the overlay's pixels.
static const int MENU_PANEL_LEFT = 250;  // clear of the overlay's lines at the left
static const int MENU_PANEL_RIGHT = 796;
static const int MENU_PANEL_TOP = 540;
static const int MENU_FINISH_PANEL_TOP = 450;  // below the finish screen's lines
static const int MENU_PANEL_BOTTOM = 100;
static const int MENU_MARKER_X = 258;
static const int MENU_TEXT_X = 280;
static const int MENU_VALUE_X = 520;
static const int MENU_ROW_SPACING = 30;
static const int MENU_LOWEST_ROW_Y = 160;
static const int MENU_NOTE_Y = 120;

class Menu {
public:
    bool m_Open;
    std::vector<MenuScreen> m_Screens;  // the way in; the last is shown
    std::vector<int> m_Highlights;      // each screen's highlighted row
    int m_Scroll;                       // the shown screen's first row drawn
    Settings m_Settings;                // the player's, as changed here
    bool m_KeysByPositionAtStart;       // how the keys were read when the game started
    bool m_FullscreenAtNextStart;       // the window could not change at once
    int m_Layout;                       // the layout being flown
    int m_ChosenLayout;                 // picked on the records or typed
    std::string m_Digits;               // typed on the go-to-layout screen
    int m_WaitingForKey;                // the action whose key is asked for; -1: none
    std::string m_Note;                 // a line under the rows: what just happened
    std::vector<Record> m_Bests;        // the records screen's rows: each layout's best, best first
    std::vector<Record> m_LayoutTimes;  // the chosen layout's five best
    const std::vector<Record>* m_Records;  // the game's, read when the records screen opens

    Menu();

    // Opens on screen with the player's settings, over the flight of layout.
    void Open(MenuScreen screen, const Settings& settings, int layout, const std::vector<Record>* records);
    MenuScreen Screen() const { return m_Screens.back(); }
    int Highlight() const { return m_Highlights.back(); }

    // The lines above the rows (a title, a layout's times), as many rows as
    // the screen has, and one of them, made as it is drawn: a list of every
    // layout's best costs no more than the rows shown.
    std::vector<std::string> Heading() const;
    int RowCount() const;
    MenuRow Row(int row) const;
    // The baseline of the first row shown, and how many rows show.
    int FirstRowY() const;
    int ShownRows() const;
    // Where the rows' keys (or a setting's "at the next start") begin.
    int KeyColumnX() const { return Screen() == SCREEN_SETTINGS ? 610 : 650; }

    MenuAnswer Move(MenuMove move);
    // A key pressed on the keyboard (SDL 1.2 symbol): a move, a digit, a
    // row's key, or the key asked for.
    MenuAnswer Key(int keySymbol);
    // The pointer at (x, y): highlights the row there.
    void Point(int x, int y);
    // A click at (x, y): selects the row there; on a setting's value, left
    // of its middle steps it down and right of it up.
    MenuAnswer Click(int x, int y);
    // The wheel: rows > 0 scrolls down the list.
    void Scroll(int rows);

private:
    void Enter(MenuScreen screen);
    MenuAnswer Select();
    MenuAnswer Back();
    void StepSetting(int row, int direction);
    void StepKey(int action, int direction);
    // Gives action the key; another action that had it takes action's old one.
    void Bind(int action, int key);
    MenuAnswer GoToLayout();
    int RowAt(int x, int y) const;
    void ShowHighlight();
};

// An action's name for the player ("Throttle") and its pad control ("RT").
const char* ActionLabel(int action);
const char* PadLabel(int action);
// A key as the game names keys to the player: "R", "F12", "Left shift".
std::string KeyLabel(int key);

#endif
