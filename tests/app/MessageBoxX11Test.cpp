// The X11 message boxes, driven by xdotool as a person would, on Xvfb.
#include "app/MessageBox.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
// After GoogleTest, whose names Xlib's macros (None, Bool) would clash with.
#include <X11/Xlib.h>

// Starts, in the background, a person who waits for the dialog titled
// caption to appear and then does the given xdotool actions. Coordinates in
// the actions are relative to the dialog's top-left corner. If no such
// dialog appears within five seconds, the person closes whatever dialog is
// up instead, so that a wrong caption fails the test rather than hangs it.
static void PersonWillDo(const std::string& caption, const std::string& actions)
{
    std::string script =
        "( for i in $(seq 1 100); do "
        "w=$(xdotool search --name '^" + caption + "$' 2>/dev/null | head -1); "
        "[ -n \"$w\" ] && break; sleep 0.05; done; "
        "if [ -z \"$w\" ]; then for d in $(xdotool search --classname vellmora-dialog); do " +
        std::string(X11PROBE) + " close $d; done; exit; fi; "
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

// Shows the box while a person measures its text and then does the
// actions. Returns the width of the ink in the text area, or -1 when no box
// with that caption appeared.
static int ShowMessageAndMeasure(const char* text, const char* caption, const std::string& actions)
{
    char seen[] = "/tmp/vellmora-dialog-XXXXXX";
    close(mkstemp(seen));
    PersonWillDo(caption, std::string(X11PROBE) + " ink $w > " + seen + "; " + actions);
    ShowMessage(text, caption);
    int left = -1;
    int right = 0;
    FILE* file = fopen(seen, "r");
    if (file != NULL) {
        fscanf(file, "%d %d", &left, &right);
        fclose(file);
    }
    unlink(seen);
    return left >= 0 ? right - left + 1 : -1;
}

// The width the dialog's font gives a text, as the dialog picks its font.
static int TextWidth(const char* text)
{
    Display* display = XOpenDisplay(NULL);
    XFontStruct* font = XLoadQueryFont(display, "-*-helvetica-medium-r-normal--14-*-*-*-*-*-iso8859-1");
    if (font == NULL) {
        font = XLoadQueryFont(display, "fixed");
    }
    int width = XTextWidth(font, text, static_cast<int>(strlen(text)));
    XFreeFont(display, font);
    XCloseDisplay(display);
    return width;
}

TEST(MessageDialog, IsTitledWithTheCaptionShowsTheTextAndIsDismissed)
{
    // The ink spans the text's advance less the bearings of its end glyphs.
    const int SLACK = 4;
    int width = ShowMessageAndMeasure("Couldn't load image", "images/terrain.tga", "xdotool key Escape");
    EXPECT_NEAR(width, TextWidth("Couldn't load image"), SLACK);
    width = ShowMessageAndMeasure("Could not initialize SDL", "No SDL here", "xdotool key Return");
    EXPECT_NEAR(width, TextWidth("Could not initialize SDL"), SLACK);
    width = ShowMessageAndMeasure("Multitexture Extensions not present", "Multitexture Extensions not present",
                                  ClickAt(210, 96));
    EXPECT_NEAR(width, TextWidth("Multitexture Extensions not present"), SLACK);
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
