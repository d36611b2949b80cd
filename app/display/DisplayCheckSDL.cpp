// The video driver SDL started on, checked before the game asks or plays
// anything.
#include "app/display/DisplayCheck.h"

#include <SDL/SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

static const char* const UNSEEN_DRIVERS[] = {"offscreen", "dummy"};

// Whether the comma-separated list names driver.
static bool Names(const char* list, const char* driver)
{
    size_t length = strlen(driver);
    for (const char* item = list; item != NULL && *item != '\0';) {
        const char* end = strchr(item, ',');
        size_t itemLength = end != NULL ? static_cast<size_t>(end - item) : strlen(item);
        if (itemLength == length && strncasecmp(item, driver, length) == 0) {
            return true;
        }
        item = end != NULL ? end + 1 : NULL;
    }
    return false;
}

bool ShowsTheGame(const char* driver, const char* requested)
{
    for (const char* unseen : UNSEEN_DRIVERS) {
        if (strcasecmp(driver, unseen) == 0) {
            return Names(requested, driver);
        }
    }
    return true;
}

bool OpenedARealDisplay()
{
    char driver[64] = "";
    if (SDL_VideoDriverName(driver, sizeof driver) == NULL || ShowsTheGame(driver, getenv("SDL_VIDEODRIVER"))) {
        return true;
    }
    const char* display = getenv("DISPLAY");
    if (display == NULL || display[0] == '\0') {
        fprintf(stderr, "Vellmora: no display to open: DISPLAY is not set (start the game on a desktop)\n");
    } else {
        fprintf(stderr, "Vellmora: the display DISPLAY=%s could not be opened\n", display);
    }
    return false;
}
