// The round's files beside the game's loop: a finished round's time and
// flight are kept, and a layout's ghost is read, on a helper thread of their
// own, one job after another in the order asked, so that no frame waits for
// the disk or for another program's lock. The game takes each result at a
// tick. Where no thread can be started, a job runs on the caller's thread
// when asked. When the process ends, a job still waiting for a lock gives
// up at once (its write not begun) and the rest run to their end.
#ifndef GAME_ROUND_FILES_H
#define GAME_ROUND_FILES_H

#include <string>
#include <vector>

#include "game/Ghost.h"
#include "game/Records.h"

// A finished round's time, kept or not.
struct KeptTime {
    long long m_Round;               // the round that asked
    Record m_Record;                 // its time
    std::vector<Record> m_Records;   // the records merged with the file's, this time among them
    bool m_Kept;                     // the time is in the file
};

// A layout's ghost as read for a round.
struct ReadGhost {
    long long m_Round;               // the round that asked
    std::string m_Path;
    Ghost m_Ghost;                   // no poses: none to fly
};

// Queues keeping record in the file at recordsPath (see AddRecord), merged
// with records, which are taken; then, when flown holds poses, flown as the
// ghost at ghostPath (see KeepGhost), taken too.
void KeepRoundBeside(long long round, const std::string& recordsPath, const Record& record,
                     std::vector<Record>& records, const std::string& ghostPath, Ghost& flown);
// Queues reading the ghost of layout under rules at path (see LoadGhost).
void ReadGhostBeside(long long round, const std::string& path, int layout, int rules);

// Takes the oldest result not yet taken; false when there is none.
bool TakeKeptTime(KeptTime& outTime);
bool TakeReadGhost(ReadGhost& outGhost);

// Returns once every job queued so far has run.
void WaitForRoundFiles();
// Ends the helper thread as the process's end does. Runs by itself then.
void FinishRoundFiles();

#endif
