// Opening and reading files without blocking, and the XDG paths.
#include "app/PlayerFiles.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
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

std::string PlayerFilePath(const char* variable, const char* homeFallback, const char* name)
{
    const char* base = getenv(variable);
    if (base != NULL && base[0] == '/') {
        return std::string(base) + "/vellmora/" + name;
    }
    const char* home = getenv("HOME");
    return home != NULL && home[0] != '\0' ? std::string(home) + "/" + homeFallback + "/vellmora/" + name : "";
}
