// Screenshots: the frame as shown, overlay and all, saved as a PNG in the
// player's pictures folder (XDG_PICTURES_DIR from user-dirs.dirs, else
// ~/Pictures), in a sub-folder Vellmora, named by the date and time and
// never over another file. The pixels are read on the main thread, which is
// all the frame pays; a helper thread of its own encodes and writes them.
#ifndef APP_SCREENSHOT_H
#define APP_SCREENSHOT_H

#include <string>

// The pictures folder that user-dirs.dirs's text names for home: its
// XDG_PICTURES_DIR line ("$HOME/..." or an absolute path), else
// home + "/Pictures".
std::string PicturesFolderFrom(const std::string& userDirs, const std::string& home);

// Where screenshots are saved: the player's pictures folder + "/Vellmora";
// empty when HOME is not set.
std::string ScreenshotFolder();

// At most this many pictures wait to be written; a screenshot asked for
// beyond them is refused, costing neither memory nor the frame's time.
static const int SCREENSHOTS_WAITING_MOST = 3;

// Reads the back buffer's width x height pixels, after the frame's overlay
// and before its swap, and queues them to be saved in folder (made when
// missing) under a name from the local time now. The log names the file
// once it is written, or says in one line why it could not be; so does the
// screenshot's note.
void TakeScreenshot(const std::string& folder, int width, int height);

// The overlay's line for the last screenshot: "Saved FILE.png" once it is
// written, or "No picture taken: REASON". Notes are counted; when the count
// differs from inOutNumber, takes the newest note into outNote and its
// count into inOutNumber and returns true; otherwise copies nothing.
bool TakeScreenshotNote(int& inOutNumber, std::string& outNote);

// Sets aside, at start, the memory a window of width x height's screenshot
// is read into, so that the first one costs its frame no more than the rest.
void ReserveScreenshot(int width, int height);

// Waits until every queued screenshot is written. Runs by itself when the
// process ends.
void FinishScreenshots();

#endif
