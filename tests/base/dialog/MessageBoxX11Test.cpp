// The X11 message boxes, driven by xdotool as a person would, on Xvfb.
#include "base/dialog/MessageBox.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
// After GoogleTest, whose names Xlib's macros (None, Bool) would clash with.
#include <SDL/SDL.h>
#include <SDL/SDL_syswm.h>
#include <X11/Xft/Xft.h>
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

// A file for what the person saw, read back once the box is answered.
class SeenFile {
public:
    SeenFile() { close(mkstemp(m_Path)); }
    ~SeenFile() { unlink(m_Path); }
    const char* Path() const { return m_Path; }
    std::string Read() const
    {
        std::string text;
        FILE* file = fopen(m_Path, "r");
        for (int c = file != NULL ? fgetc(file) : EOF; c != EOF; c = fgetc(file)) {
            text += static_cast<char>(c);
        }
        if (file != NULL) {
            fclose(file);
        }
        return text;
    }

private:
    char m_Path[32] = "/tmp/vellmora-dialog-XXXXXX";
};

// The fills of the default button (Yes, OK) and of No, and the signs' colours.
static const char* const DEFAULT_BUTTON = "3584e4";
static const char* const OTHER_BUTTON = "deddda";
static const char* const QUESTION_SIGN = "2a7de1";
static const char* const ERROR_SIGN = "e01b24";

// Clicks the middle of the area of the dialog $w filled with a colour.
static std::string ClickOn(const char* rgb)
{
    return "set -- $(" + std::string(X11PROBE) + " colour $w " + rgb + "); xdotool mousemove --window $w $2 $3 click 1";
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
    PersonWillDo("Options", ClickOn(OTHER_BUTTON));
    EXPECT_FALSE(AskYesNo("Do you want to run in Fullscreen Mode?", "Options"));
    // A click beside the buttons answers nothing.
    PersonWillDo("Options", "xdotool mousemove --window $w 5 5 click 1 sleep 0.1; " + ClickOn(DEFAULT_BUTTON));
    EXPECT_TRUE(AskYesNo("Do you want to run in Fullscreen Mode?", "Options"));
}

TEST(QuestionDialog, ShowsAntiAliasedTextAndTheQuestionSign)
{
    SeenFile seen;
    std::string probe = X11PROBE;
    PersonWillDo("Options", probe + " greys $w > " + seen.Path() + "; " + probe + " colour $w " + QUESTION_SIGN +
                                " >> " + seen.Path() + "; xdotool key n");
    EXPECT_FALSE(AskYesNo("Do you want to run in Fullscreen Mode?", "Options"));
    int greys = 0;
    long signPixels = 0;
    ASSERT_EQ(sscanf(seen.Read().c_str(), "%d %ld", &greys, &signPixels), 2) << seen.Read();
    EXPECT_GT(greys, 12) << "the text is not anti-aliased";
    EXPECT_GT(signPixels, 300) << "no question sign";
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
    SeenFile seen;
    PersonWillDo(caption, std::string(X11PROBE) + " ink $w > " + seen.Path() + "; " + actions);
    ShowMessage(text, caption);
    int left = -1;
    int right = 0;
    sscanf(seen.Read().c_str(), "%d %d", &left, &right);
    return left >= 0 ? right - left + 1 : -1;
}

// The width of a text's ink in the dialog's font (on a connection kept
// open, as the dialogs keep theirs).
static int TextWidth(const char* text)
{
    static Display* display = XOpenDisplay(NULL);
    static XftFont* font = XftFontOpenName(display, DefaultScreen(display), "sans-serif:size=10");
    XGlyphInfo extents;
    XftTextExtentsUtf8(display, font, reinterpret_cast<const FcChar8*>(text), static_cast<int>(strlen(text)), &extents);
    return extents.width;
}

TEST(MessageDialog, IsTitledWithTheCaptionShowsTheTextAndIsDismissed)
{
    // Anti-aliased edges lighter than the dark threshold narrow the ink a little.
    const int SLACK = 4;
    int width = ShowMessageAndMeasure("Couldn't load image", "images/terrain.tga", "xdotool key Escape");
    EXPECT_NEAR(width, TextWidth("Couldn't load image"), SLACK);
    width = ShowMessageAndMeasure("Could not initialize SDL", "No SDL here", "xdotool key Return");
    EXPECT_NEAR(width, TextWidth("Could not initialize SDL"), SLACK);
    width = ShowMessageAndMeasure("Multitexture Extensions not present", "Multitexture Extensions not present",
                                  ClickOn(DEFAULT_BUTTON));
    EXPECT_NEAR(width, TextWidth("Multitexture Extensions not present"), SLACK);
}

// A box shown while the game's window is open: a dialog to the window
// manager, above the game's window, titled in UTF-8 whatever bytes the
// caption holds.
TEST(MessageDialog, IsADialogAboveTheGameWindowTitledInUtf8)
{
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    ASSERT_TRUE(SDL_SetVideoMode(320, 200, 0, 0) != NULL) << SDL_GetError();
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    ASSERT_GT(SDL_GetWMInfo(&info), 0);
    unsigned long game = info.info.x11.wmwindow != 0 ? info.info.x11.wmwindow : info.info.x11.window;
    SeenFile seen;
    PersonWillDo("Broken .* caption", std::string("LC_ALL=C.UTF-8 xprop -id $w > ") + seen.Path() + "; " +
                                          X11PROBE + " colour $w " + ERROR_SIGN + " >> " + seen.Path() +
                                          "; xdotool key Return");
    ShowMessage("Couldn't load image", "Broken \xff\xc3 caption");
    SDL_Quit();
    std::string properties = seen.Read();
    EXPECT_NE(properties.find("_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_DIALOG"), std::string::npos)
        << properties;
    EXPECT_NE(properties.find("_NET_WM_NAME(UTF8_STRING) = \"Broken \xEF\xBF\xBD\xEF\xBF\xBD caption\""),
              std::string::npos) << properties;
    char transient[80];
    snprintf(transient, sizeof transient, "WM_TRANSIENT_FOR(WINDOW): window id # 0x%lx", game);
    EXPECT_NE(properties.find(transient), std::string::npos) << properties;
    // The failure's sign, in the last line.
    EXPECT_GT(atol(properties.substr(properties.rfind('\n', properties.size() - 2) + 1).c_str()), 300);
}

// SIGTERM (or Ctrl+C) while the question is up closes it at once; the quit
// stays in SDL's queue, where the game ends on it.
TEST(QuestionDialog, ASignalClosesItAndLeavesTheQuitToTheGame)
{
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    PersonWillDo("Options", "kill -TERM " + std::to_string(getpid()));
    AskYesNo("Do you want to run in Fullscreen Mode?", "Options");
    SDL_Event event;
    EXPECT_EQ(SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_QUITMASK), 1);
    SDL_Quit();
    EXPECT_NE(system("xdotool search --name '^Options$' >/dev/null 2>&1"), 0) << "the dialog is still up";
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
