// When the X server goes away under the game (a session ends, a forwarded
// display drops), the game ends at once with status 1 and one line on
// standard error. Nothing more is drawn, mixed or shown: the context and the
// windows lived on that server, and Xlib's own ending would run the game's
// destructors against them.
#ifndef APP_DISPLAY_LOSS_H
#define APP_DISPLAY_LOSS_H

// Takes over Xlib's handling of a lost connection, for every connection of
// the process (the game's window and the dialogs alike; SDL keeps it). Call
// it first, before any connection is opened.
void EndWhenTheDisplayGoesAway();

#endif
