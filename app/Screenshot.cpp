// Reading the frame, and its encoding and writing on a helper thread.
#include "app/Screenshot.h"

#include <GL/gl.h>
#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>
#include <vector>

#include "base/HelperThread.h"
#include "base/Logger.h"
#include "base/PlayerFiles.h"

namespace {

struct Shot {
    std::string m_Folder;
    std::string m_Stamp;                  // "YYYY-MM-DD_HH-MM-SS", local time of the key
    int m_Width;
    int m_Height;
    std::vector<unsigned char> m_Pixels;  // BGRA rows, the bottom row first, as OpenGL reads them
};

// Encodes and writes the pictures, behind the game's threads and the
// renderer's: a picture can wait a few frames, the frames cannot.
HelperThread s_Writer(19);
std::mutex s_Lock;
// Pixels to read the next screenshot into, touched once so that taking it
// costs no page faults (a fresh 2 MB took 5 ms of faults); each written
// shot hands its pixels back.
std::vector<unsigned char> s_Spare;
// The overlay's line for the last screenshot, and how many lines there were.
std::string s_Note;
int s_Notes = 0;

void Note(const std::string& note)
{
    std::lock_guard<std::mutex> lock(s_Lock);
    s_Note = note;
    ++s_Notes;
}

// The file's name without its folder, as short as the overlay wants it.
std::string FileName(const std::string& path)
{
    return path.substr(path.rfind('/') + 1);
}

// Opens a new file in folder named for the stamp, adding -2, -3, ... until
// the name is free: nothing is overwritten.
FILE* CreateFreshFile(const Shot& shot, std::string& outPath)
{
    for (int n = 1; n < 1000; ++n) {
        std::string suffix = n == 1 ? "" : "-" + std::to_string(n);
        outPath = shot.m_Folder + "/vellmora-" + shot.m_Stamp + suffix + ".png";
        int fd = open(outPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            return fdopen(fd, "wb");
        }
        if (errno != EEXIST) {
            return NULL;
        }
    }
    return NULL;
}

void Write(const Shot& shot)
{
    std::string path = shot.m_Folder + "/";
    FILE* file = MakeParentFolders(path) ? CreateFreshFile(shot, path) : NULL;
    if (file == NULL) {
        LogMessage("Screenshot: %s cannot be written (%s); no picture taken", path.c_str(), strerror(errno));
        Note(std::string("No picture taken: ") + strerror(errno));
        return;
    }
    // The renderer's own order reads fastest; the picture wants RGB.
    std::vector<unsigned char> rgb(static_cast<size_t>(shot.m_Width) * static_cast<size_t>(shot.m_Height) * 3);
    for (size_t pixel = 0; pixel < rgb.size() / 3; ++pixel) {
        rgb[3 * pixel] = shot.m_Pixels[4 * pixel + 2];
        rgb[3 * pixel + 1] = shot.m_Pixels[4 * pixel + 1];
        rgb[3 * pixel + 2] = shot.m_Pixels[4 * pixel];
    }
    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(shot.m_Width);
    image.height = static_cast<png_uint_32>(shot.m_Height);
    image.format = PNG_FORMAT_RGB;
    image.flags = PNG_IMAGE_FLAG_FAST;
    // A negative stride writes the rows bottom-up: the picture the right way up.
    bool written = png_image_write_to_stdio(&image, file, 0, rgb.data(), -shot.m_Width * 3, NULL) != 0;
    written = fflush(file) == 0 && written;
    written = fclose(file) == 0 && written;
    if (written) {
        LogMessage("Screenshot: %s", path.c_str());
        Note("Saved " + FileName(path));
    } else {
        const char* reason = image.message[0] != '\0' ? image.message : strerror(errno);
        LogMessage("Screenshot: %s cannot be written (%s); no picture taken", path.c_str(), reason);
        Note(std::string("No picture taken: ") + reason);
        unlink(path.c_str());
    }
    png_image_free(&image);
}

// Writes shot, then gives its pixels back for the next one.
void WriteAndFree(Shot* shot)
{
    Write(*shot);
    std::lock_guard<std::mutex> lock(s_Lock);
    if (s_Spare.empty()) {
        s_Spare.swap(shot->m_Pixels);
    }
    delete shot;
}

}  // namespace

std::string PicturesFolderFrom(const std::string& userDirs, const std::string& home)
{
    static const std::string KEY = "XDG_PICTURES_DIR=\"";
    std::string folder = home + "/Pictures";
    for (size_t start = 0; start < userDirs.size();) {
        size_t end = userDirs.find('\n', start);
        end = end == std::string::npos ? userDirs.size() : end;
        std::string line = userDirs.substr(start, end - start);
        start = end + 1;
        size_t close = line.rfind('"');
        if (line.compare(0, KEY.size(), KEY) != 0 || close < KEY.size()) {
            continue;
        }
        std::string value = line.substr(KEY.size(), close - KEY.size());
        // The file allows only these two forms.
        if (value.compare(0, 6, "$HOME/") == 0) {
            folder = home + value.substr(5);
        } else if (!value.empty() && value[0] == '/') {
            folder = value;
        }
    }
    while (folder.size() > 1 && folder[folder.size() - 1] == '/') {
        folder.erase(folder.size() - 1);
    }
    return folder;
}

std::string ScreenshotFolder()
{
    const char* home = getenv("HOME");
    if (home == NULL || home[0] == '\0') {
        return "";
    }
    const char* config = getenv("XDG_CONFIG_HOME");
    std::string userDirs = config != NULL && config[0] == '/' ? std::string(config) + "/user-dirs.dirs"
                                                              : std::string(home) + "/.config/user-dirs.dirs";
    // A few lines; a larger file is no setting of ours.
    std::string text;
    std::string problem;
    ReadWholeFile(userDirs, 64 * 1024, text, problem);
    return PicturesFolderFrom(text, home) + "/Vellmora";
}

void TakeScreenshot(const std::string& folder, int width, int height)
{
    if (folder.empty()) {
        LogMessage("Screenshot: no pictures folder (HOME is not set); no picture taken");
        Note("No picture taken: HOME is not set");
        return;
    }
    const size_t waiting = s_Writer.Waiting();
    if (waiting >= static_cast<size_t>(SCREENSHOTS_WAITING_MOST)) {
        Note("No picture taken: " + std::to_string(waiting) + " are still being saved");
        LogMessage("Screenshot: %zu pictures wait to be written; no picture taken", waiting);
        return;
    }
    Shot* shot = new Shot();
    shot->m_Folder = folder;
    shot->m_Width = width;
    shot->m_Height = height;
    {
        std::lock_guard<std::mutex> lock(s_Lock);
        shot->m_Pixels.swap(s_Spare);
    }
    shot->m_Pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, shot->m_Pixels.data());
    glPopClientAttrib();
    char stamp[32];
    time_t now = time(NULL);
    struct tm local;
    strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", localtime_r(&now, &local));
    shot->m_Stamp = stamp;

    static bool registered = false;
    if (!registered) {
        registered = atexit(FinishScreenshots) == 0;
    }
    // Where no thread can be had, this frame pays for the picture.
    s_Writer.Queue([shot] { WriteAndFree(shot); });
}

bool TakeScreenshotNote(int& inOutNumber, std::string& outNote)
{
    std::lock_guard<std::mutex> lock(s_Lock);
    if (inOutNumber == s_Notes) {
        return false;
    }
    inOutNumber = s_Notes;
    outNote = s_Note;
    return true;
}

void ReserveScreenshot(int width, int height)
{
    std::lock_guard<std::mutex> lock(s_Lock);
    s_Spare.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
}

void FinishScreenshots()
{
    s_Writer.Finish();
}
