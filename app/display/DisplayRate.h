// The refresh rate of the display the game's window is on, which paces the
// frames where the swap does not wait for it. Backed by XRandR; nothing here
// needs the X headers.
#ifndef APP_DISPLAY_RATE_H
#define APP_DISPLAY_RATE_H

// The refresh rate, in whole hertz, of the output under the centre of the
// game's window, as XRandR reports its current mode; 0 when it cannot be read
// (no window yet, no XRandR, or a mode without timings, as on Xvfb).
int DisplayRefreshHz();

// A mode's refresh rate from its timings: pixel clock over the pixels of a
// whole frame, halved for double scan, doubled for interlace. 0 for a mode
// without timings.
double ModeRefreshHz(unsigned long dotClockHz, unsigned int hTotal, unsigned int vTotal, bool doubleScan,
                     bool interlaced);

#endif
