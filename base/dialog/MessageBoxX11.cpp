// Message boxes on Xlib and Xft, with a standard-error and terminal fallback.
// A dialog looks like the desktop's own (DialogLookX11.cpp draws it); its
// window is a dialog to the window manager, titled in UTF-8, centred, and
// transient for the game's window when there is one; while it is up, the
// game's grab of the mouse is lifted and the pointer shown.
// Mouse clicks press a button; Return and Space press the focused one (Yes
// first), Tab and the arrow keys move the focus, 'y' and 'n' answer
// directly and Escape dismisses an OK box. Ctrl+C or SIGTERM closes a box
// unanswered (the question as a Yes), leaving SDL's quit event for the game.
#include "base/dialog/MessageBox.h"

#include <SDL/SDL.h>
#include <SDL/SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "base/QuitCheck.h"
#include "base/dialog/DialogText.h"
#include "base/dialog/DialogX11.h"

namespace {

// The most bytes of a caption looked at; any more would not show.
const size_t MAX_CAPTION_BYTES = 512;
// How long a box waits for its display or terminal before it looks again
// whether the player asked to quit.
const int QUIT_CHECK_MS = 100;

// Waits until fd has something to read or the player asks to quit; false
// for the quit.
bool WaitReadable(int fd)
{
    for (;;) {
        if (QuitRequested()) {
            return false;
        }
        struct pollfd watched = {fd, POLLIN, 0};
        int ready = poll(&watched, 1, QUIT_CHECK_MS);
        if (ready > 0 || (ready < 0 && errno != EINTR)) {
            return true;
        }
    }
}

// The next event of the dialog's display; false when the player asks to
// quit first.
bool NextEvent(Display* display, XEvent* outEvent)
{
    while (XPending(display) == 0) {
        if (!WaitReadable(ConnectionNumber(display))) {
            return false;
        }
    }
    XNextEvent(display, outEvent);
    return !QuitRequested();
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

bool GameHasWindow()
{
    return SDL_WasInit(SDL_INIT_VIDEO) != 0 && SDL_GetVideoSurface() != NULL;
}

// The game's window, when the game has one open: the dialog stays above it.
Window GameWindow()
{
    if (!GameHasWindow()) {
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

Answer WaitForAnswer(Dialog& dialog, Atom deleteAtom)
{
    Answer answer = ANSWER_NONE;
    while (answer == ANSWER_NONE) {
        XEvent event;
        if (!NextEvent(dialog.display, &event)) {
            return ANSWER_QUIT;
        }
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

// The game's hold on the mouse, lifted while a box is up so that its buttons
// can be clicked: the grab that keeps the pointer in the game's window, and
// the hidden pointer.
struct PointerHold {
    bool m_Lifted;
    SDL_GrabMode m_Grab;
    int m_Shown;
};

PointerHold LiftPointerHold()
{
    PointerHold hold = {false, SDL_GRAB_OFF, SDL_ENABLE};
    if (!GameHasWindow()) {
        return hold;
    }
    hold.m_Lifted = true;
    hold.m_Grab = SDL_WM_GrabInput(SDL_GRAB_QUERY);
    hold.m_Shown = SDL_ShowCursor(SDL_QUERY);
    SDL_WM_GrabInput(SDL_GRAB_OFF);
    SDL_ShowCursor(SDL_ENABLE);
    return hold;
}

void RestorePointerHold(const PointerHold& hold)
{
    if (!hold.m_Lifted) {
        return;
    }
    SDL_ShowCursor(hold.m_Shown);
    SDL_WM_GrabInput(hold.m_Grab);
    // The way to the box's button and back is not steering.
    SDL_PumpEvents();
    SDL_GetRelativeMouseState(NULL, NULL);
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
    PointerHold hold = LiftPointerHold();
    Answer answer = WaitForAnswer(dialog, deleteAtom);
    RestorePointerHold(hold);
    XftDrawDestroy(dialog.draw);
    CloseLook(dialog);
    XDestroyWindow(display, dialog.window);
    XFlush(display);
    return answer;
}

// The terminal fallback: the question is asked when standard input is a
// terminal; otherwise the default (yes) stands, as it does on a quit request.
bool AskOnTerminal(const char* text, const char* caption)
{
    fprintf(stderr, "%s: %s [Y/n] ", caption, text);
    fflush(stderr);
    if (!isatty(STDIN_FILENO)) {
        fprintf(stderr, "\n");
        return true;
    }
    char line[64];
    if (!WaitReadable(STDIN_FILENO)) {
        fprintf(stderr, "\n");
        return true;
    }
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
