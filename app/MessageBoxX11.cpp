// Message boxes on Xlib and Xft, with a standard-error and terminal fallback.
// A dialog looks like the desktop's own: its text anti-aliased in the
// interface font fontconfig resolves ("sans-serif", at the display's DPI or
// Xft.dpi), wrapped and sized to its content, a sign beside it (a question
// mark for the question, an exclamation mark for a failure), and buttons
// with the default one filled, the focused one ringed and the hovered one
// lit. The window is a dialog to the window manager, titled in UTF-8,
// centred, and transient for the game's window when there is one.
// Mouse clicks press a button; Return and Space press the focused one (Yes
// first), Tab and the arrow keys move the focus, 'y' and 'n' answer
// directly and Escape dismisses an OK box.
#include "app/MessageBox.h"

#include <SDL/SDL.h>
#include <SDL/SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/DialogText.h"

namespace {

enum Answer { ANSWER_NONE, ANSWER_OK, ANSWER_YES, ANSWER_NO, ANSWER_FAILED };
enum Colour { BACKGROUND, TEXT, BUTTON, BUTTON_HOVER, BUTTON_BORDER, DEFAULT, DEFAULT_HOVER, DEFAULT_TEXT,
              FOCUS, QUESTION_SIGN, ERROR_SIGN, COLOUR_COUNT };
const char* const COLOUR_NAMES[COLOUR_COUNT] = {"#f6f5f4", "#2e3436", "#deddda", "#ebebea", "#b6b4b0",
                                                "#3584e4", "#4a90e8", "#ffffff", "#1c71d8", "#2a7de1",
                                                "#e01b24"};
// The widest a line of text may grow, in lines' heights, and the most lines
// shown: a text of any length still makes a box that fits on the screen.
const int WRAP_WIDTH_IN_LINES = 22;
const int MAX_LINES = 20;
// The most bytes of a text or a caption looked at; any more would not show.
const size_t MAX_TEXT_BYTES = 16384;
const size_t MAX_CAPTION_BYTES = 512;

struct Button {
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
    Button buttons[2];
    int buttonCount;
    int focus;
    int hover;       // the button under the pointer, or -1
    int lineHeight;  // pixels, the font's: every size follows from it
    int width, height;
};

int MeasureText(const std::string& text, void* context)
{
    // Xft's extents are 16-bit: a long run is measured a piece at a time.
    const size_t PIECE = 256;
    Dialog* dialog = static_cast<Dialog*>(context);
    int width = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = std::min(text.size(), start + PIECE);
        while (end < text.size() && end > start + 1 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
            --end;
        }
        XGlyphInfo extents;
        XftTextExtentsUtf8(dialog->display, dialog->font, reinterpret_cast<const FcChar8*>(text.data() + start),
                           static_cast<int>(end - start), &extents);
        width += extents.xOff;
        start = end;
    }
    return width;
}

// Sizes the dialog to its wrapped text, its sign and its buttons.
void LayOut(Dialog& dialog, const char* text)
{
    int unit = dialog.lineHeight;
    dialog.lines = WrapText(ShortenUtf8(ValidUtf8(text), MAX_TEXT_BYTES), WRAP_WIDTH_IN_LINES * unit, MAX_LINES,
                            MeasureText, &dialog);
    int textWidth = 0;
    for (const std::string& line : dialog.lines) {
        textWidth = std::max(textWidth, MeasureText(line, &dialog));
    }
    int signSize = unit * 5 / 2;
    int textHeight = static_cast<int>(dialog.lines.size()) * unit;
    if (dialog.question) {
        dialog.buttons[0] = Button{"Yes", ANSWER_YES, 0, 0, 0, 0};
        dialog.buttons[1] = Button{"No", ANSWER_NO, 0, 0, 0, 0};
        dialog.buttonCount = 2;
    } else {
        dialog.buttons[0] = Button{"OK", ANSWER_OK, 0, 0, 0, 0};
        dialog.buttonCount = 1;
    }
    int rowWidth = 0;
    for (int i = 0; i < dialog.buttonCount; ++i) {
        Button& button = dialog.buttons[i];
        button.width = std::max(unit * 5, MeasureText(button.label, &dialog) + unit * 2);
        button.height = unit * 2;
        rowWidth += button.width + (i > 0 ? unit / 2 : 0);
    }
    dialog.width = std::max(unit + signSize + unit + textWidth + unit * 3 / 2, rowWidth + unit * 2);
    dialog.width = std::max(dialog.width, unit * 18);
    dialog.height = unit + std::max(signSize, textHeight) + unit + dialog.buttons[0].height + unit;
    // The buttons sit at the bottom right, the default one first.
    int x = dialog.width - unit - rowWidth;
    for (int i = 0; i < dialog.buttonCount; ++i) {
        dialog.buttons[i].x = x;
        dialog.buttons[i].y = dialog.height - unit - dialog.buttons[i].height;
        x += dialog.buttons[i].width + unit / 2;
    }
}

void DrawCentred(const Dialog& dialog, XftFont* font, Colour colour, const char* text, int x, int y, int width,
                 int height)
{
    XGlyphInfo extents;
    int length = static_cast<int>(strlen(text));
    XftTextExtentsUtf8(dialog.display, font, reinterpret_cast<const FcChar8*>(text), length, &extents);
    int baseline = y + (height + font->ascent - font->descent) / 2;
    XftDrawStringUtf8(dialog.draw, &dialog.colours[colour], font, x + (width - extents.xOff) / 2, baseline,
                      reinterpret_cast<const FcChar8*>(text), length);
}

void DrawSign(const Dialog& dialog)
{
    int unit = dialog.lineHeight;
    int size = unit * 5 / 2;
    GC gc = XCreateGC(dialog.display, dialog.window, 0, NULL);
    XSetForeground(dialog.display, gc, dialog.colours[dialog.question ? QUESTION_SIGN : ERROR_SIGN].pixel);
    XFillArc(dialog.display, dialog.window, gc, unit, unit, size, size, 0, 360 * 64);
    XFreeGC(dialog.display, gc);
    DrawCentred(dialog, dialog.signFont, DEFAULT_TEXT, dialog.question ? "?" : "!", unit, unit, size, size);
}

void Draw(const Dialog& dialog)
{
    int unit = dialog.lineHeight;
    XftDrawRect(dialog.draw, &dialog.colours[BACKGROUND], 0, 0, dialog.width, dialog.height);
    DrawSign(dialog);
    int x = unit * 2 + unit * 5 / 2;
    int y = unit + dialog.font->ascent;
    for (const std::string& line : dialog.lines) {
        XftDrawStringUtf8(dialog.draw, &dialog.colours[TEXT], dialog.font, x, y,
                          reinterpret_cast<const FcChar8*>(line.data()), static_cast<int>(line.size()));
        y += unit;
    }
    for (int i = 0; i < dialog.buttonCount; ++i) {
        const Button& b = dialog.buttons[i];
        bool isDefault = i == 0;
        bool hovered = i == dialog.hover;
        Colour fill = isDefault ? (hovered ? DEFAULT_HOVER : DEFAULT) : (hovered ? BUTTON_HOVER : BUTTON);
        int ring = i == dialog.focus ? 2 : 1;
        XftDrawRect(dialog.draw, &dialog.colours[i == dialog.focus ? FOCUS : BUTTON_BORDER], b.x - ring, b.y - ring,
                    b.width + 2 * ring, b.height + 2 * ring);
        XftDrawRect(dialog.draw, &dialog.colours[fill], b.x, b.y, b.width, b.height);
        DrawCentred(dialog, dialog.font, isDefault ? DEFAULT_TEXT : TEXT, b.label, b.x, b.y, b.width, b.height);
    }
    XFlush(dialog.display);
}

Answer AnswerForKey(Dialog& dialog, KeySym key)
{
    switch (key) {
    case XK_Return:
    case XK_KP_Enter:
    case XK_space:
        return dialog.buttons[dialog.focus].answer;
    case XK_y:
    case XK_Y:
        return dialog.question ? ANSWER_YES : ANSWER_NONE;
    case XK_n:
    case XK_N:
        return dialog.question ? ANSWER_NO : ANSWER_NONE;
    case XK_Escape:
        return dialog.question ? ANSWER_NONE : ANSWER_OK;
    case XK_Tab:
    case XK_Left:
    case XK_Right:
        dialog.focus = (dialog.focus + 1) % dialog.buttonCount;
        Draw(dialog);
        return ANSWER_NONE;
    default:
        return ANSWER_NONE;
    }
}

int ButtonAt(const Dialog& dialog, int x, int y)
{
    for (int i = 0; i < dialog.buttonCount; ++i) {
        const Button& b = dialog.buttons[i];
        if (x >= b.x && x < b.x + b.width && y >= b.y && y < b.y + b.height) {
            return i;
        }
    }
    return -1;
}

// The game's window, when the game has one open: the dialog stays above it.
Window GameWindow()
{
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0 || SDL_GetVideoSurface() == NULL) {
        return None;
    }
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) <= 0 || info.subsystem != SDL_SYSWM_X11) {
        return None;
    }
    // Over SDL 2 the drawing window is the top-level one.
    return info.info.x11.wmwindow != 0 ? info.info.x11.wmwindow : info.info.x11.window;
}

void SetAtom(Display* display, Window window, const char* property, const char* value)
{
    Atom atom = XInternAtom(display, value, False);
    XChangeProperty(display, window, XInternAtom(display, property, False), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&atom), 1);
}

Window CreateDialogWindow(const Dialog& dialog, const char* caption, Atom* outDeleteAtom)
{
    Display* display = dialog.display;
    int screen = DefaultScreen(display);
    int x = (DisplayWidth(display, screen) - dialog.width) / 2;
    int y = (DisplayHeight(display, screen) - dialog.height) / 2;
    Window window = XCreateSimpleWindow(display, RootWindow(display, screen), x, y, dialog.width, dialog.height, 0,
                                        0, dialog.colours[BACKGROUND].pixel);
    std::string title = ShortenUtf8(ValidUtf8(caption), MAX_CAPTION_BYTES);
    XStoreName(display, window, title.c_str());
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
    XClassHint classHint = {const_cast<char*>("vellmora-dialog"), const_cast<char*>("Vellmora")};
    XSetClassHint(display, window, &classHint);
    SetAtom(display, window, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DIALOG");
    Window game = GameWindow();
    if (game != None) {
        XSetTransientForHint(display, window, game);
        SetAtom(display, window, "_NET_WM_STATE", "_NET_WM_STATE_ABOVE");
    }
    // A dialog of fixed size, so window managers do not tile or stretch it.
    XSizeHints* sizeHints = XAllocSizeHints();
    if (sizeHints != NULL) {
        sizeHints->flags = PPosition | PMinSize | PMaxSize;
        sizeHints->x = x;
        sizeHints->y = y;
        sizeHints->min_width = sizeHints->max_width = dialog.width;
        sizeHints->min_height = sizeHints->max_height = dialog.height;
        XSetWMNormalHints(display, window, sizeHints);
        XFree(sizeHints);
    }
    *outDeleteAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, outDeleteAtom, 1);
    XSelectInput(display, window, ExposureMask | KeyPressMask | ButtonPressMask | PointerMotionMask |
                                      LeaveWindowMask | StructureNotifyMask);
    return window;
}

// Opens the fonts and colours. False when the display has no usable font.
bool OpenLook(Dialog& dialog)
{
    Display* display = dialog.display;
    int screen = DefaultScreen(display);
    dialog.font = XftFontOpenName(display, screen, "sans-serif:size=10");
    if (dialog.font == NULL) {
        return false;
    }
    dialog.lineHeight = std::max(8, dialog.font->ascent + dialog.font->descent + 2);
    char signPattern[64];
    snprintf(signPattern, sizeof signPattern, "sans-serif:bold:pixelsize=%d", dialog.lineHeight * 7 / 4);
    dialog.signFont = XftFontOpenName(display, screen, signPattern);
    if (dialog.signFont == NULL) {
        dialog.signFont = dialog.font;
    }
    for (int i = 0; i < COLOUR_COUNT; ++i) {
        XftColorAllocName(display, DefaultVisual(display, screen), DefaultColormap(display, screen),
                          COLOUR_NAMES[i], &dialog.colours[i]);
    }
    return true;
}

void CloseLook(Dialog& dialog)
{
    int screen = DefaultScreen(dialog.display);
    for (int i = 0; i < COLOUR_COUNT; ++i) {
        XftColorFree(dialog.display, DefaultVisual(dialog.display, screen), DefaultColormap(dialog.display, screen),
                     &dialog.colours[i]);
    }
    if (dialog.signFont != dialog.font) {
        XftFontClose(dialog.display, dialog.signFont);
    }
    XftFontClose(dialog.display, dialog.font);
}

Answer WaitForAnswer(Dialog& dialog, Atom deleteAtom)
{
    Answer answer = ANSWER_NONE;
    while (answer == ANSWER_NONE) {
        XEvent event;
        XNextEvent(dialog.display, &event);
        switch (event.type) {
        case Expose:
            if (event.xexpose.count == 0) {
                Draw(dialog);
            }
            break;
        case MapNotify:
            XSetInputFocus(dialog.display, dialog.window, RevertToParent, CurrentTime);
            break;
        case KeyPress:
            answer = AnswerForKey(dialog, XLookupKeysym(&event.xkey, 0));
            break;
        case MotionNotify:
        case LeaveNotify: {
            int hover = event.type == LeaveNotify ? -1 : ButtonAt(dialog, event.xmotion.x, event.xmotion.y);
            if (hover != dialog.hover) {
                dialog.hover = hover;
                Draw(dialog);
            }
            break;
        }
        case ButtonPress: {
            int pressed = ButtonAt(dialog, event.xbutton.x, event.xbutton.y);
            answer = pressed >= 0 ? dialog.buttons[pressed].answer : ANSWER_NONE;
            break;
        }
        case ClientMessage:
            // Closing the window dismisses it; for the question that is not an
            // explicit No.
            if (static_cast<Atom>(event.xclient.data.l[0]) == deleteAtom) {
                answer = dialog.question ? ANSWER_YES : ANSWER_OK;
            }
            break;
        default:
            break;
        }
    }
    return answer;
}

// The connection every dialog uses, opened with the first and kept until the
// process ends: Xft's clean-up when a display closes leaves Xrender a stale
// record of it, and a second connection opened at the same address would
// then make requests with another extension's numbers.
Display* DialogDisplay()
{
    static Display* display = XOpenDisplay(NULL);
    return display;
}

// Runs the dialog until it is answered. ANSWER_FAILED when no display or font.
Answer RunDialog(const char* text, const char* caption, bool question)
{
    Display* display = DialogDisplay();
    if (display == NULL) {
        return ANSWER_FAILED;
    }
    Dialog dialog = {};
    dialog.display = display;
    dialog.question = question;
    dialog.hover = -1;
    if (!OpenLook(dialog)) {
        return ANSWER_FAILED;
    }
    LayOut(dialog, text);
    Atom deleteAtom = None;
    dialog.window = CreateDialogWindow(dialog, caption, &deleteAtom);
    int screen = DefaultScreen(display);
    dialog.draw = XftDrawCreate(display, dialog.window, DefaultVisual(display, screen), DefaultColormap(display, screen));
    XMapRaised(display, dialog.window);
    Answer answer = WaitForAnswer(dialog, deleteAtom);
    XftDrawDestroy(dialog.draw);
    CloseLook(dialog);
    XDestroyWindow(display, dialog.window);
    XFlush(display);
    return answer;
}

// The terminal fallback: the question is asked when standard input is a
// terminal; otherwise the default (yes) stands.
bool AskOnTerminal(const char* text, const char* caption)
{
    fprintf(stderr, "%s: %s [Y/n] ", caption, text);
    fflush(stderr);
    if (!isatty(STDIN_FILENO)) {
        fprintf(stderr, "\n");
        return true;
    }
    char line[64];
    if (fgets(line, sizeof line, stdin) == NULL) {
        return true;
    }
    return line[0] != 'n' && line[0] != 'N';
}

}  // namespace

void ShowMessage(const char* text, const char* caption)
{
    if (RunDialog(text, caption, false) == ANSWER_FAILED) {
        fprintf(stderr, "%s: %s\n", caption, text);
    }
}

bool AskYesNo(const char* text, const char* caption)
{
    Answer answer = RunDialog(text, caption, true);
    if (answer == ANSWER_FAILED) {
        return AskOnTerminal(text, caption);
    }
    return answer != ANSWER_NO;
}
