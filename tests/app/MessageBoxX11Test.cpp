// The X11 message boxes, driven by xdotool as a person would, on Xvfb.
#include "app/MessageBox.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

// Starts, in the background, a person who waits for the dialog titled
// caption to appear and then does the given xdotool actions. Coordinates in
// the actions are relative to the dialog's top-left corner.
static void PersonWillDo(const std::string& caption, const std::string& actions)
{
    std::string script =
        "( for i in $(seq 1 100); do "
        "w=$(xdotool search --name '^" + caption + "$' 2>/dev/null | head -1); "
        "[ -n \"$w\" ] && break; sleep 0.05; done; "
        "sleep 0.2; " + actions + " ) >/dev/null 2>&1 &";
    ASSERT_EQ(system(script.c_str()), 0);
}

// Clicks at (x, y) inside the dialog window $w.
static std::string ClickAt(int x, int y)
{
    return "xdotool mousemove --window $w " + std::to_string(x) + " " + std::to_string(y) + " click 1";
}

TEST(QuestionDialog, AnswersFromTheKeyboard)
{
    PersonWillDo("Options", "xdotool key n");
    EXPECT_FALSE(AskYesNo("Do you want to run in Fullscreen Mode?", "Options"));
    PersonWillDo("Options", "xdotool key y");
    EXPECT_TRUE(AskYesNo("Do you want to run in Fullscreen Mode?", "Options"));
    // Yes has the focus first; Tab moves it to No.
    PersonWillDo("Options", "xdotool key Return");
    EXPECT_TRUE(AskYesNo("Do you want to run in Fullscreen Mode?", "Options"));
    PersonWillDo("Options", "xdotool key Tab space");
    EXPECT_FALSE(AskYesNo("Do you want to run in Fullscreen Mode?", "Options"));
    // Escape is no answer to a question: the dialog waits for one.
    PersonWillDo("Options", "xdotool key Escape sleep 0.2 key n");
    EXPECT_FALSE(AskYesNo("Do you want to run in Fullscreen Mode?", "Options"));
}

TEST(QuestionDialog, AnswersFromTheMouse)
{
    // Buttons of 80 x 28 centred with a gap of 20 in a 420-wide dialog,
    // 20 above its bottom edge (130 high): Yes at x 120..200, No at 220..300.
    PersonWillDo("Options", ClickAt(260, 96));
    EXPECT_FALSE(AskYesNo("Do you want to run in Fullscreen Mode?", "Options"));
    PersonWillDo("Options", ClickAt(10, 10) + " sleep 0.1; " + ClickAt(160, 96));
    EXPECT_TRUE(AskYesNo("Do you want to run in Fullscreen Mode?", "Options"));
}

TEST(QuestionDialog, ClosingTheWindowIsNotANo)
{
    PersonWillDo("Options", std::string(X11PROBE) + " close $w");
    EXPECT_TRUE(AskYesNo("Do you want to run in Fullscreen Mode?", "Options"));
}

TEST(MessageDialog, IsTitledWithTheCaptionAndDismissed)
{
    PersonWillDo("images/terrain.tga", "xdotool key Escape");
    ShowMessage("Couldn't load image", "images/terrain.tga");
    PersonWillDo("No SDL here", "xdotool key Return");
    ShowMessage("Could not initialize SDL", "No SDL here");
    PersonWillDo("Multitexture Extensions not present", ClickAt(210, 96));
    ShowMessage("Multitexture Extensions not present", "Multitexture Extensions not present");
}

TEST(DialogsWithoutADisplay, WriteToStandardErrorAndDefaultToYes)
{
    std::string display = getenv("DISPLAY") != NULL ? getenv("DISPLAY") : "";
    unsetenv("DISPLAY");
    testing::internal::CaptureStderr();
    ShowMessage("Could not initialize SDL", "");
    bool yes = AskYesNo("Do you want to run in Fullscreen Mode?", "Options");
    std::string written = testing::internal::GetCapturedStderr();
    setenv("DISPLAY", display.c_str(), 1);
    // Standard input is not a terminal under the test runner.
    EXPECT_TRUE(yes);
    EXPECT_NE(written.find(": Could not initialize SDL\n"), std::string::npos) << written;
    EXPECT_NE(written.find("Options: Do you want to run in Fullscreen Mode?"), std::string::npos) << written;
}
