// The menu's screens as a player moves through them, without a window.
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include "app/Menu.h"

namespace {

std::string Texts(const Menu& menu)
{
    std::string texts;
    for (int i = 0; i < menu.RowCount(); ++i) {
        MenuRow row = menu.Row(i);
        texts += row.m_Text + (row.m_Key.empty() ? "" : " " + row.m_Key) + "|";
    }
    return texts;
}

// Opens the menu and selects the top screen's row.
void OpenOn(Menu& menu, int row, const std::vector<Record>* records = NULL)
{
    menu.Open(SCREEN_TOP, Settings(), 31, records);
    for (int i = 0; i < row; ++i) {
        menu.Move(MOVE_DOWN);
    }
    menu.Move(MOVE_SELECT);
}

}  // namespace

// The rows with their keys, moves that wrap round, and what each does;
// the row's key does it too, and Escape goes back one screen at a time.
TEST(Menu, TheTopRowsAndWhatEachDoes)
{
    Menu menu;
    menu.Open(SCREEN_TOP, Settings(), 31, NULL);
    EXPECT_EQ(Texts(menu), "Continue P|Fly again R|New layout N|Go to layout|Records|Settings|Controls|Quit|");
    EXPECT_EQ(menu.Move(MOVE_UP), ANSWER_STAY);
    EXPECT_EQ(menu.Move(MOVE_SELECT), ANSWER_QUIT);
    EXPECT_EQ(menu.Key('s'), ANSWER_STAY);  // the brake's key moves down, round to the top
    EXPECT_EQ(menu.Key(SDLK_RETURN), ANSWER_CLOSE);
    EXPECT_EQ(menu.Key(SDLK_DOWN), ANSWER_STAY);
    EXPECT_EQ(menu.Move(MOVE_SELECT), ANSWER_FLY_AGAIN);
    EXPECT_EQ(menu.Key('n'), ANSWER_NEW_LAYOUT);
    EXPECT_EQ(menu.Key('p'), ANSWER_CLOSE);
    OpenOn(menu, 5);
    EXPECT_EQ(menu.Screen(), SCREEN_SETTINGS);
    EXPECT_EQ(menu.Key('r'), ANSWER_STAY) << "R flies again only from the rows that say so";
    EXPECT_EQ(menu.Key(SDLK_BACKSPACE), ANSWER_SAVE);
    EXPECT_EQ(menu.Highlight(), 5) << "back on the row it came from";
    EXPECT_EQ(menu.Key(SDLK_ESCAPE), ANSWER_CLOSE);
    menu.Open(SCREEN_FINISH, Settings(), 31, NULL);
    EXPECT_EQ(Texts(menu), "Fly again R|New layout N|Records|");
}

// Each setting steps within its bounds, in steps a player can feel; what
// needs a new start says so on its row.
TEST(Menu, SettingsStepWithinTheirBounds)
{
    Menu menu;
    OpenOn(menu, 5);
    Settings& s = menu.m_Settings;
    menu.Move(MOVE_LEFT);
    EXPECT_EQ(s.m_Fullscreen, Settings::FULLSCREEN_NO);  // ask, round to no
    menu.Move(MOVE_DOWN);
    s.m_Mouse.m_DegreesPerCount = 0.05f;
    menu.Move(MOVE_LEFT);
    EXPECT_FLOAT_EQ(s.m_Mouse.m_DegreesPerCount, 0.05f);
    menu.Move(MOVE_RIGHT);
    EXPECT_FLOAT_EQ(s.m_Mouse.m_DegreesPerCount, 0.06f);
    s.m_Mouse.m_DegreesPerCount = 9.0f;  // from the file, between two steps
    menu.Move(MOVE_RIGHT);
    menu.Move(MOVE_RIGHT);
    EXPECT_FLOAT_EQ(s.m_Mouse.m_DegreesPerCount, 10.0f);
    menu.Move(MOVE_DOWN);
    menu.Move(MOVE_DOWN);
    menu.Move(MOVE_RIGHT);
    EXPECT_EQ(s.m_MusicVolume, 100);
    s.m_MusicVolume = 37;
    menu.Move(MOVE_LEFT);
    EXPECT_EQ(s.m_MusicVolume, 35);
    for (int i = 0; i < 10; ++i) {
        menu.Move(MOVE_LEFT);
    }
    EXPECT_EQ(s.m_MusicVolume, 0);
    EXPECT_EQ(menu.Row(5).m_Key, "");
    menu.m_Highlights.back() = 5;
    menu.Move(MOVE_SELECT);
    EXPECT_EQ(menu.Row(5).m_Value + ", " + menu.Row(5).m_Key, "positions, at the next start");
    menu.m_Highlights.back() = 7;
    menu.Move(MOVE_RIGHT);
    EXPECT_EQ(s.m_Layout, 31) << "random, then the layout flown";
    menu.Move(MOVE_LEFT);
    menu.Move(MOVE_LEFT);
    EXPECT_EQ(s.m_Layout, 29);
}

// Enter asks for a key; one that serves another action swaps with it;
// Escape keeps the old one; Delete and the last row go back to the design;
// stepping passes over keys that other actions have.
TEST(Menu, ControlsAskForAKeySwapAndGoBackToTheDesign)
{
    Menu menu;
    OpenOn(menu, 6);
    const int* keys = menu.m_Settings.m_Keys.m_Keys;
    menu.Move(MOVE_SELECT);
    EXPECT_EQ(menu.Row(ACTION_THROTTLE).m_Value, "Press a key");
    EXPECT_EQ(menu.Key('p'), ANSWER_STAY) << "the pause key is taken as a key while one is asked for";
    EXPECT_EQ(keys[ACTION_THROTTLE], 'p');
    EXPECT_EQ(keys[ACTION_PAUSE], 'w');
    EXPECT_EQ(menu.m_Note, "P was Pause, menu's key; Pause, menu now has W");
    menu.Move(MOVE_SELECT);
    menu.Key(SDLK_ESCAPE);
    EXPECT_EQ(keys[ACTION_THROTTLE], 'p');
    EXPECT_EQ(menu.m_Note, "Throttle keeps P");
    menu.Key(SDLK_DELETE);
    EXPECT_EQ(keys[ACTION_THROTTLE], 'w');
    EXPECT_EQ(keys[ACTION_PAUSE], 'p');
    menu.Move(MOVE_RIGHT);
    EXPECT_EQ(keys[ACTION_THROTTLE], 'x');
    menu.Move(MOVE_DOWN);
    menu.Move(MOVE_LEFT);
    EXPECT_EQ(keys[ACTION_BRAKE], 'm') << "past r, q, p, o and n, which serve others";
    menu.Move(MOVE_UP);
    menu.Move(MOVE_UP);
    EXPECT_EQ(menu.Row(menu.Highlight()).m_Text, "All keys as designed");
    menu.Move(MOVE_SELECT);
    EXPECT_EQ(keys[ACTION_THROTTLE], 'w');
    EXPECT_EQ(keys[ACTION_BRAKE], 's');
}

// The records best first with the layout flown marked; one layout's five
// best and flying it; a layout's number typed, or stepped with a pad, and
// refused in place when it is no layout.
TEST(Menu, RecordsBestFirstAndGoToLayoutRefusesWhatIsNoLayout)
{
    std::vector<Record> records = {{1, 5, 900, "2026-01-02"}, {1, 31, 600, "2026-01-03"},
                                   {1, 5, 700, "2026-01-04"}, {2, 7, 60, "2026-01-05"}};
    Menu menu;
    OpenOn(menu, 4, &records);
    EXPECT_EQ(Texts(menu), "Layout 31 2026-01-03 (now)|Layout 5 2026-01-04|");
    EXPECT_EQ(menu.Row(1).m_Value, "0:11.66");
    menu.Move(MOVE_DOWN);
    menu.Move(MOVE_SELECT);
    std::vector<std::string> heading = menu.Heading();
    ASSERT_EQ(heading.size(), 3u);
    EXPECT_EQ(heading[1], "1. 0:11.66  2026-01-04");
    EXPECT_EQ(heading[2], "2. 0:15.00  2026-01-02");
    EXPECT_EQ(menu.Move(MOVE_SELECT), ANSWER_FLY_LAYOUT);
    EXPECT_EQ(menu.m_ChosenLayout, 5);
    std::vector<Record> none;
    OpenOn(menu, 4, &none);
    EXPECT_EQ(menu.Heading()[0], "No records yet: finish a layout");

    OpenOn(menu, 3);
    menu.Key('0');
    EXPECT_EQ(menu.Key(SDLK_RETURN), ANSWER_STAY);
    EXPECT_EQ(menu.m_Note, "0 is no layout: they run from 1 to 99999");
    menu.Key(SDLK_BACKSPACE);
    for (int key : {'1', '0', '0', '0', '0', '0'}) {
        menu.Key(key);
    }
    EXPECT_EQ(menu.Key(SDLK_KP_ENTER), ANSWER_STAY);
    for (int i = 0; i < 6; ++i) {
        menu.Key(SDLK_BACKSPACE);
    }
    menu.Move(MOVE_UP);     // a pad steps the last digit: 1
    menu.Move(MOVE_RIGHT);  // a digit more: 10
    menu.Move(MOVE_DOWN);   // 19
    EXPECT_EQ(menu.Move(MOVE_SELECT), ANSWER_FLY_LAYOUT);
    EXPECT_EQ(menu.m_ChosenLayout, 19);
}

// The mouse: pointing highlights the row under it, a click on a setting's
// value steps it down on its left and up on its right, the wheel scrolls a
// list longer than the panel and keeps the highlighted row in view.
TEST(Menu, PointingClickingAndTheWheel)
{
    Menu menu;
    menu.Open(SCREEN_TOP, Settings(), 31, NULL);
    int first = menu.FirstRowY();
    menu.Point(400, first - 2 * MENU_ROW_SPACING + 5);
    EXPECT_EQ(menu.Highlight(), 2);
    menu.Point(100, first);  // beside the panel
    EXPECT_EQ(menu.Highlight(), 2);
    EXPECT_EQ(menu.Click(400, first - 5 * MENU_ROW_SPACING), ANSWER_STAY);
    ASSERT_EQ(menu.Screen(), SCREEN_SETTINGS);
    int effects = menu.FirstRowY() - 4 * MENU_ROW_SPACING;
    menu.Click(MENU_VALUE_X + 10, effects);
    menu.Click(MENU_VALUE_X + 10, effects);
    menu.Click(MENU_VALUE_X + 80, effects);
    EXPECT_EQ(menu.m_Settings.m_EffectsVolume, 95);
    menu.Move(MOVE_BACK);
    menu.Click(400, first - 6 * MENU_ROW_SPACING);
    ASSERT_EQ(menu.Screen(), SCREEN_CONTROLS);
    int rows = menu.RowCount();
    ASSERT_LT(menu.ShownRows(), rows);
    menu.Scroll(100);
    EXPECT_EQ(menu.m_Scroll, rows - menu.ShownRows());
    EXPECT_EQ(menu.Highlight(), menu.m_Scroll);
    menu.Click(400, menu.FirstRowY() - (menu.ShownRows() - 1) * MENU_ROW_SPACING);
    EXPECT_EQ(menu.Row(menu.Highlight()).m_Text, "All keys as designed");
    menu.Move(MOVE_DOWN);  // round to the top, which scrolls back
    EXPECT_EQ(menu.m_Scroll, 0);
}
