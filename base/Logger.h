// The game's diagnostic log, "vellmora.log" in the working directory.
// No state lives between calls: every message opens the file, appends one
// line and closes it again, so the file is complete after each line even if
// the process dies later. An unwritable file makes messages vanish, and the
// first one to vanish says so in one line on standard error.
#ifndef BASE_LOGGER_H
#define BASE_LOGGER_H

// Truncates the log to zero length (creating it if needed). Returns true when
// the file could be opened.
bool LogReset();

// Appends the printf-style message and one line feed. Returns false when the
// file could not be opened, true once the line is written.
bool LogMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

#endif
