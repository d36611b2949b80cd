// The end of the game when its X server goes away.
//
// Xlib reports a lost connection through its IO error handler, which must
// not return. A server that goes away while the GL driver is setting up or
// drawing can also make the driver fault on a reply that never came; a
// connection of our own to the same server, never read, tells such a fault
// from one of the game's: it reads as closed once the server has gone.
#include "app/display/DisplayLoss.h"

#include <X11/Xlib.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

static char s_Line[256] = "Vellmora: the display went away; the game ends.\n";
static int s_WatchFd = -1;
static struct sigaction s_PreviousFault;

// Only write and _exit, which need nothing of the process's state: the
// destructors and exit handlers that exit would run draw and mix.
[[noreturn]] static void EndNow()
{
    ssize_t written = write(STDERR_FILENO, s_Line, strlen(s_Line));
    (void)written;
    _exit(1);
}

static int DisplayWentAway(Display* display)
{
    // Named here too when the watching connection could not be opened at
    // start (a server slow to take it); Xlib calls this outside any signal.
    if (s_WatchFd < 0 && display != NULL) {
        snprintf(s_Line, sizeof s_Line, "Vellmora: the display %s went away; the game ends.\n", DisplayString(display));
    }
    EndNow();
}

// Whether the server closed the watching connection (safe in a signal
// handler: poll and recv only).
static bool WatchClosed()
{
    struct pollfd watch = {s_WatchFd, POLLIN, 0};
    if (poll(&watch, 1, 0) <= 0) {
        return false;
    }
    if (watch.revents & (POLLHUP | POLLERR)) {
        return true;
    }
    char byte = 0;
    ssize_t got = recv(s_WatchFd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
}

static void OnFault(int, siginfo_t*, void*)
{
    if (WatchClosed()) {
        EndNow();
    }
    // The game's own fault: the handler there was before takes it, as the
    // faulting instruction runs again.
    sigaction(SIGSEGV, &s_PreviousFault, NULL);
}

void EndWhenTheDisplayGoesAway()
{
    XSetIOErrorHandler(DisplayWentAway);
    Display* watch = XOpenDisplay(NULL);  // kept until the process ends
    if (watch == NULL) {
        return;
    }
    snprintf(s_Line, sizeof s_Line, "Vellmora: the display %s went away; the game ends.\n", DisplayString(watch));
    s_WatchFd = ConnectionNumber(watch);
    struct sigaction onFault;
    memset(&onFault, 0, sizeof onFault);
    onFault.sa_sigaction = OnFault;
    onFault.sa_flags = SA_SIGINFO;
    sigemptyset(&onFault.sa_mask);
    sigaction(SIGSEGV, &onFault, &s_PreviousFault);
}
