// Message boxes on Xlib, with a standard-error and terminal fallback.
// A dialog is a fixed-size window titled with the caption: the text on top,
// the buttons below. Mouse clicks press a button; Return and Space press the
// focused one (Yes first), Tab and the arrow keys move the focus, 'y' and 'n'
// answer directly and Escape dismisses an OK box.
#include "app/MessageBox.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

enum Answer { ANSWER_NONE, ANSWER_OK, ANSWER_YES, ANSWER_NO, ANSWER_FAILED };

const int DIALOG_WIDTH = 420;
const int DIALOG_HEIGHT = 130;
const int BUTTON_WIDTH = 80;
const int BUTTON_HEIGHT = 28;
const int BUTTON_GAP = 20;

struct Button {
    const char* label;
    Answer answer;
    int x;
    int y;
};

struct Dialog {
    Display* display;
    Window window;
    GC gc;
    XFontStruct* font;
    const char* text;
    Button buttons[2];
    int buttonCount;
    int focus;
};

void LayOutButtons(Dialog& dialog, bool question)
{
    if (question) {
        dialog.buttons[0] = Button{"Yes", ANSWER_YES, 0, 0};
        dialog.buttons[1] = Button{"No", ANSWER_NO, 0, 0};
        dialog.buttonCount = 2;
    } else {
        dialog.buttons[0] = Button{"OK", ANSWER_OK, 0, 0};
        dialog.buttonCount = 1;
    }
    int total = dialog.buttonCount * BUTTON_WIDTH + (dialog.buttonCount - 1) * BUTTON_GAP;
    int x = (DIALOG_WIDTH - total) / 2;
    for (int i = 0; i < dialog.buttonCount; ++i) {
        dialog.buttons[i].x = x;
        dialog.buttons[i].y = DIALOG_HEIGHT - BUTTON_HEIGHT - 20;
        x += BUTTON_WIDTH + BUTTON_GAP;
    }
}

void DrawCentered(const Dialog& dialog, const char* text, int x, int y, int width)
{
    int length = static_cast<int>(strlen(text));
    int textWidth = XTextWidth(dialog.font, text, length);
    XDrawString(dialog.display, dialog.window, dialog.gc, x + (width - textWidth) / 2, y, text, length);
}

void Draw(const Dialog& dialog)
{
    XClearWindow(dialog.display, dialog.window);
    DrawCentered(dialog, dialog.text, 0, 45, DIALOG_WIDTH);
    for (int i = 0; i < dialog.buttonCount; ++i) {
        const Button& button = dialog.buttons[i];
        XDrawRectangle(dialog.display, dialog.window, dialog.gc, button.x, button.y, BUTTON_WIDTH, BUTTON_HEIGHT);
        if (i == dialog.focus) {
            XDrawRectangle(dialog.display, dialog.window, dialog.gc, button.x + 3, button.y + 3,
                           BUTTON_WIDTH - 6, BUTTON_HEIGHT - 6);
        }
        int baseline = button.y + (BUTTON_HEIGHT + dialog.font->ascent - dialog.font->descent) / 2;
        DrawCentered(dialog, button.label, button.x, baseline, BUTTON_WIDTH);
    }
    XFlush(dialog.display);
}

Answer AnswerForKey(Dialog& dialog, KeySym key)
{
    bool question = dialog.buttonCount == 2;
    switch (key) {
    case XK_Return:
    case XK_KP_Enter:
    case XK_space:
        return dialog.buttons[dialog.focus].answer;
    case XK_y:
    case XK_Y:
        return question ? ANSWER_YES : ANSWER_NONE;
    case XK_n:
    case XK_N:
        return question ? ANSWER_NO : ANSWER_NONE;
    case XK_Escape:
        return question ? ANSWER_NONE : ANSWER_OK;
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

Answer AnswerForClick(const Dialog& dialog, int x, int y)
{
    for (int i = 0; i < dialog.buttonCount; ++i) {
        const Button& button = dialog.buttons[i];
        if (x >= button.x && x < button.x + BUTTON_WIDTH && y >= button.y && y < button.y + BUTTON_HEIGHT) {
            return button.answer;
        }
    }
    return ANSWER_NONE;
}

Window CreateDialogWindow(Display* display, const char* caption, Atom* outDeleteAtom)
{
    int screen = DefaultScreen(display);
    int x = (DisplayWidth(display, screen) - DIALOG_WIDTH) / 2;
    int y = (DisplayHeight(display, screen) - DIALOG_HEIGHT) / 2;
    Window window = XCreateSimpleWindow(display, RootWindow(display, screen), x, y, DIALOG_WIDTH, DIALOG_HEIGHT,
                                        1, BlackPixel(display, screen), WhitePixel(display, screen));
    XStoreName(display, window, caption);
    XClassHint classHint = {const_cast<char*>("vellmora-dialog"), const_cast<char*>("Vellmora")};
    XSetClassHint(display, window, &classHint);
    // A dialog of fixed size, so window managers do not tile or stretch it.
    XSizeHints* sizeHints = XAllocSizeHints();
    if (sizeHints != NULL) {
        sizeHints->flags = PPosition | PMinSize | PMaxSize;
        sizeHints->x = x;
        sizeHints->y = y;
        sizeHints->min_width = sizeHints->max_width = DIALOG_WIDTH;
        sizeHints->min_height = sizeHints->max_height = DIALOG_HEIGHT;
        XSetWMNormalHints(display, window, sizeHints);
        XFree(sizeHints);
    }
    *outDeleteAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, outDeleteAtom, 1);
    XSelectInput(display, window, ExposureMask | KeyPressMask | ButtonPressMask | StructureNotifyMask);
    return window;
}

// Runs the dialog until it is answered. ANSWER_FAILED when no display.
Answer RunDialog(const char* text, const char* caption, bool question)
{
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        return ANSWER_FAILED;
    }
    Dialog dialog = {};
    dialog.display = display;
    dialog.text = text;
    dialog.font = XLoadQueryFont(display, "-*-helvetica-medium-r-normal--14-*-*-*-*-*-iso8859-1");
    if (dialog.font == NULL) {
        dialog.font = XLoadQueryFont(display, "fixed");
    }
    if (dialog.font == NULL) {
        XCloseDisplay(display);
        return ANSWER_FAILED;
    }
    LayOutButtons(dialog, question);
    Atom deleteAtom = None;
    dialog.window = CreateDialogWindow(display, caption, &deleteAtom);
    dialog.gc = XCreateGC(display, dialog.window, 0, NULL);
    XSetFont(display, dialog.gc, dialog.font->fid);
    XSetForeground(display, dialog.gc, BlackPixel(display, DefaultScreen(display)));
    XMapRaised(display, dialog.window);

    Answer answer = ANSWER_NONE;
    while (answer == ANSWER_NONE) {
        XEvent event;
        XNextEvent(display, &event);
        switch (event.type) {
        case Expose:
            if (event.xexpose.count == 0) {
                Draw(dialog);
            }
            break;
        case MapNotify:
            XSetInputFocus(display, dialog.window, RevertToParent, CurrentTime);
            break;
        case KeyPress:
            answer = AnswerForKey(dialog, XLookupKeysym(&event.xkey, 0));
            break;
        case ButtonPress:
            answer = AnswerForClick(dialog, event.xbutton.x, event.xbutton.y);
            break;
        case ClientMessage:
            // Closing the window dismisses it; for the question that is not an
            // explicit No.
            if (static_cast<Atom>(event.xclient.data.l[0]) == deleteAtom) {
                answer = question ? ANSWER_YES : ANSWER_OK;
            }
            break;
        default:
            break;
        }
    }
    XFreeGC(display, dialog.gc);
    XFreeFont(display, dialog.font);
    XDestroyWindow(display, dialog.window);
    XCloseDisplay(display);
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
