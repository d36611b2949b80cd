// The log file: one open, write and close per message.
#include "app/Logger.h"

#include <cstdarg>
#include <cstdio>

static const char* const LOG_FILE_NAME = "vellmora.log";

bool LogReset()
{
    FILE* file = fopen(LOG_FILE_NAME, "w");
    if (file == NULL) {
        return false;
    }
    fclose(file);
    return true;
}

bool LogMessage(const char* format, ...)
{
    FILE* file = fopen(LOG_FILE_NAME, "a+");
    if (file == NULL) {
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
