// Opening and reading files without blocking, and the XDG paths.
#include "base/PlayerFiles.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

static const char* KindOfFile(const struct stat& st)
{
    return S_ISDIR(st.st_mode)    ? "a folder"
           : S_ISFIFO(st.st_mode) ? "a FIFO"
           : S_ISSOCK(st.st_mode) ? "a socket"
           : S_ISCHR(st.st_mode)  ? "a character device"
           : S_ISBLK(st.st_mode)  ? "a block device"
                                  : "not a regular file";
}

int OpenRegularFile(const std::string& path, long long* outSize, const char** outKind)
{
    *outKind = NULL;
    int fd = path.empty() ? -1 : open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (path.empty()) {
        errno = ENOENT;
    }
    if (fd < 0) {
        return -1;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        *outKind = KindOfFile(st);
        close(fd);
        return -1;
    }
    *outSize = static_cast<long long>(st.st_size);
    return fd;
}

long long ReadUpTo(int fd, void* buffer, size_t size)
{
    size_t used = 0;
    while (used < size) {
        ssize_t got = read(fd, static_cast<char*>(buffer) + used, size - used);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return -1;
        }
        if (got == 0) {
            break;
        }
        used += static_cast<size_t>(got);
    }
    return static_cast<long long>(used);
}

bool ReadWholeFile(const std::string& path, long long mostBytes, std::string& outBytes, std::string& outProblem)
{
    outProblem.clear();
    long long size = 0;
    const char* kind = NULL;
    int fd = OpenRegularFile(path, &size, &kind);
    if (fd < 0) {
        if (kind != NULL) {
            outProblem = std::string("is ") + kind;
        } else if (errno != ENOENT) {
            outProblem = std::string("cannot be read (") + strerror(errno) + ")";
        }
        return false;
    }
    if (size > mostBytes) {
        close(fd);
        outProblem = "is over " + std::to_string(mostBytes / 1024) + " KiB";
        return false;
    }
    outBytes.assign(static_cast<size_t>(size), '\0');
    long long got = ReadUpTo(fd, &outBytes[0], outBytes.size());
    int error = errno;
    close(fd);
    if (got < 0) {
        outBytes.clear();
        outProblem = std::string("cannot be read (") + strerror(error) + ")";
        return false;
    }
    outBytes.resize(static_cast<size_t>(got));
    return true;
}

std::string PlayerFilePath(const char* variable, const char* homeFallback, const char* name)
{
    const char* base = getenv(variable);
    if (base != NULL && base[0] == '/') {
        return std::string(base) + "/vellmora/" + name;
    }
    const char* home = getenv("HOME");
    return home != NULL && home[0] != '\0' ? std::string(home) + "/" + homeFallback + "/vellmora/" + name : "";
}

bool MakeParentFolders(const std::string& path)
{
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        if (mkdir(path.substr(0, slash).c_str(), 0755) != 0 && errno != EEXIST) {
            return false;
        }
    }
    return true;
}

bool LockWithin(int fd, int waitMs, const std::atomic<bool>* giveUp)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            return true;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            return false;
        }
        if ((giveUp != NULL && giveUp->load()) || std::chrono::steady_clock::now() >= until) {
            errno = EWOULDBLOCK;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::string ThroughLinks(const std::string& path)
{
    std::string target = path;
    // As many links as the kernel itself follows.
    for (int links = 0; links < 40; ++links) {
        char next[4096];
        ssize_t size = readlink(target.c_str(), next, sizeof next);
        if (size < 0 || static_cast<size_t>(size) >= sizeof next) {
            return target;
        }
        std::string link(next, static_cast<size_t>(size));
        size_t slash = target.rfind('/');
        target = link[0] == '/' || slash == std::string::npos ? link : target.substr(0, slash + 1) + link;
    }
    return path;
}

bool KeepAside(const std::string& linkedPath, std::string& outAside)
{
    const std::string path = ThroughLinks(linkedPath);
    for (int n = 1; n < 1000; ++n) {
        std::string aside = path + ".damaged-" + std::to_string(n);
        if (link(path.c_str(), aside.c_str()) == 0) {
            outAside = aside;
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

static bool WriteAll(int fd, const std::string& bytes)
{
    for (size_t done = 0; done < bytes.size();) {
        ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return false;
        }
        done += static_cast<size_t>(wrote);
    }
    return true;
}

bool ReplaceFile(const std::string& linkedPath, const std::string& bytes)
{
    const std::string path = ThroughLinks(linkedPath);
    std::string temporary = path + ".tmp-" + std::to_string(getpid());
    // One left by a game of this number that was killed mid-write.
    unlink(temporary.c_str());
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    bool written = WriteAll(fd, bytes) && fsync(fd) == 0;
    int error = errno;
    written = close(fd) == 0 && written;
    if (written && rename(temporary.c_str(), path.c_str()) == 0) {
        return true;
    }
    error = written ? errno : error;
    unlink(temporary.c_str());
    errno = error;
    return false;
}
