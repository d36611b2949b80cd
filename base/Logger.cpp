// The log file: one open, write and close per message.
#include "base/Logger.h"

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <unistd.h>

static const char* const LOG_FILE_NAME = "vellmora.log";

// Said once a process: every message after it would fail the same way.
static std::atomic<bool> s_FailureReported(false);

static void ReportFailure(int error)
{
    if (s_FailureReported.exchange(true)) {
        return;
    }
    char directory[4096];
    if (getcwd(directory, sizeof directory) == NULL) {
        snprintf(directory, sizeof directory, "%s", "the working directory");
    }
    fprintf(stderr, "Vellmora: the log %s/%s cannot be written (%s); the game goes on without it\n", directory,
            LOG_FILE_NAME, strerror(error));
}

bool LogReset()
{
    FILE* file = fopen(LOG_FILE_NAME, "w");
    if (file == NULL) {
        ReportFailure(errno);
        return false;
    }
    fclose(file);
    return true;
}

bool LogMessage(const char* format, ...)
{
    FILE* file = fopen(LOG_FILE_NAME, "a+");
    if (file == NULL) {
        ReportFailure(errno);
        return false;
    }
    va_list args;
    va_start(args, format);
    vfprintf(file, format, args);
    va_end(args);
    fputc('\n', file);
    fclose(file);
    return true;
}
