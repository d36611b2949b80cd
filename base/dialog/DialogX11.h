// The X11 message box's dialog: its state, and its look (fonts, colours,
// layout, drawing), shared by the two files of the X11 dialog layer. The
// look follows the desktop's: text anti-aliased in the interface font that
// fontconfig resolves ("sans-serif", at the display's DPI or Xft.dpi),
// wrapped and sized to its content, a sign beside it (a question mark for
// the question, an exclamation mark for a failure), and buttons with the
// default one filled, the focused one ringed and the hovered one lit.
#ifndef BASE_DIALOG_X11_H
#define BASE_DIALOG_X11_H

#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>
#include <string>
#include <vector>

// ANSWER_QUIT: the player asked the game to end (Ctrl+C, SIGTERM) while the
// box was up; the request stays in SDL's queue for the game to take.
enum Answer { ANSWER_NONE, ANSWER_OK, ANSWER_YES, ANSWER_NO, ANSWER_FAILED, ANSWER_QUIT };
enum Colour { BACKGROUND, TEXT, BUTTON, BUTTON_HOVER, BUTTON_BORDER, DEFAULT, DEFAULT_HOVER, DEFAULT_TEXT,
              FOCUS, QUESTION_SIGN, ERROR_SIGN, COLOUR_COUNT };

struct DialogButton {
    const char* label;
    Answer answer;
    int x, y, width, height;
};

struct Dialog {
    Display* display;
    Window window;
    XftDraw* draw;
    XftFont* font;
    XftFont* signFont;
    XftColor colours[COLOUR_COUNT];
    std::vector<std::string> lines;
    bool question;
    DialogButton buttons[2];
    int buttonCount;
    int focus;
    int hover;       // the button under the pointer, or -1
    int lineHeight;  // pixels, the font's: every size follows from it
    int width, height;
};

// Opens the fonts and colours. False when the display has no usable font.
bool OpenLook(Dialog& dialog);
void CloseLook(Dialog& dialog);
// Wraps the text and sizes the dialog to it, its sign and its buttons.
void LayOut(Dialog& dialog, const char* text);
void Draw(const Dialog& dialog);
// The button at a point of the window, or -1.
int ButtonAt(const Dialog& dialog, int x, int y);

#endif
