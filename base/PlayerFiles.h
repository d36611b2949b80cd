// The player's files and the game's own read the same careful way: opened
// without blocking, so that a FIFO at the name cannot hold the game for
// good, and read only when they are regular files, within a size the
// caller gives. Also where the XDG base directories put the player's files.
#ifndef BASE_PLAYER_FILES_H
#define BASE_PLAYER_FILES_H

#include <atomic>
#include <cstddef>
#include <string>

// Opens the regular file at path for reading. Returns its descriptor and
// its size in outSize; -1 otherwise, with errno as open left it (ENOENT:
// nothing there) and outKind NULL, or, when something other than a regular
// file is there, outKind naming it ("a FIFO", "a folder", ...).
int OpenRegularFile(const std::string& path, long long* outSize, const char** outKind);

// Reads up to size bytes from fd, through short reads and signals. Returns
// how many were read (fewer at the end of the file), or -1 on an error.
long long ReadUpTo(int fd, void* buffer, size_t size);

// Reads the regular file at path whole into outBytes when it holds at most
// mostBytes. Returns whether it did; when not, outProblem says why ("is a
// FIFO", "is over 64 KiB", "cannot be read (REASON)"), or is empty where
// nothing is there.
bool ReadWholeFile(const std::string& path, long long mostBytes, std::string& outBytes, std::string& outProblem);

// $VARIABLE/vellmora/name when VARIABLE holds an absolute path, else
// $HOME/homeFallback/vellmora/name; empty when neither is set.
std::string PlayerFilePath(const char* variable, const char* homeFallback, const char* name);

// Creates the folders above path, as mkdir -p does. Returns false, with
// errno, when one cannot be made.
bool MakeParentFolders(const std::string& path);

// How long a player's file waits for another program's lock.
static const int LOCK_WAIT_MS = 3000;

// Takes an exclusive flock on fd, waiting at most waitMs while another
// program holds it, and not at all once *giveUp (when given) is set.
// Returns false, with errno (EWOULDBLOCK: still held), when it did not.
bool LockWithin(int fd, int waitMs, const std::atomic<bool>* giveUp);

// The file that writing to path changes: path with the symbolic links at
// its end followed, to a target that need not exist yet. path itself when
// it is no link, or when the links go round.
std::string ThroughLinks(const std::string& path);

// Links the file at path (through its links) to a free name
// TARGET.damaged-N beside it, in outAside, so that what could not be read
// is never lost to a rewrite.
bool KeepAside(const std::string& path, std::string& outAside);

// Writes bytes to a temporary file beside path (beside the target of a
// symbolic link there, which stays a link), flushes it to the disk and
// renames it over that: readers see the old file or the new one whole.
// Returns false, with errno, when any step fails; nothing is then left
// behind but the old file.
bool ReplaceFile(const std::string& path, const std::string& bytes);

#endif
