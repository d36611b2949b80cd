// The best times: kept in $XDG_DATA_HOME/vellmora/records (else
// ~/.local/share/vellmora/records), a text file with a version line and one
// time a line, "RULES LAYOUT TICKS DATE" (rules number, layout, the round's
// ticks at 60 a second, the day as YYYY-MM-DD). The five best of each
// layout and the ten best over all layouts are kept for each rules number;
// only the current rules' times are compared. Nothing here needs SDL or GL.
#ifndef GAME_RECORDS_H
#define GAME_RECORDS_H

#include <atomic>
#include <string>
#include <vector>

struct Record {
    int m_Rules;
    int m_Layout;
    long long m_Ticks;
    std::string m_Date;  // YYYY-MM-DD

    bool operator==(const Record& other) const;
};

// The first line of every records file.
static const char* const RECORDS_VERSION_LINE = "vellmora records 1";
// Larger files are not read, and the game writes none: the best of every
// layout (99,999 lines of at most 27 bytes) fits with room to spare.
static const long long RECORDS_MOST_BYTES = 4 * 1024 * 1024;

// The records of a file's text. A line that cannot be taken adds one
// message with its number to outProblems; a text without the version line
// takes nothing. Returns false when anything was not taken.
bool ParseRecords(const std::string& text, std::vector<Record>& outRecords, std::vector<std::string>& outProblems);
// The file's text for records, best first.
std::string FormatRecords(const std::vector<Record>& records);
// Sorts best first, drops repeated lines and keeps, for each rules number,
// the five best of each layout and the ten best over all.
void PruneRecords(std::vector<Record>& inOut);
// Leaves times out of inOut (sorted best first, as PruneRecords leaves it)
// until FormatRecords(inOut) holds at most mostBytes: first the times that
// are not their layout's best, those of the layouts with the fewest times
// first and of those the oldest, then the other rules' bests, oldest first.
// Returns what was left out, best first.
std::vector<Record> FitRecords(std::vector<Record>& inOut, long long mostBytes);
// The best of the current rules on layout (or over all layouts for 0);
// NULL when there is none.
const Record* BestRecord(const std::vector<Record>& records, int layout);

// A time of the current rules on layout, made today (local time).
Record RecordOfToday(int layout, long long ticks);

// How a finished round's time stands among records, the records merged
// with it: whether it is faster than every other time of the current rules
// on its layout and over all layouts, and the bests it leaves.
struct Verdict {
    bool m_NewLayoutBest;
    bool m_NewOverallBest;
    long long m_LayoutBestTicks;
    long long m_OverallBestTicks;
    int m_OverallBestLayout;
};
Verdict JudgeTime(const std::vector<Record>& records, const Record& record);

// Where the file is kept; empty when neither XDG_DATA_HOME nor HOME says.
std::string RecordsPath();

// Reads the file once at start: no file is no records; every problem is
// logged with its line number, and what could be taken is kept.
std::vector<Record> LoadRecords(const std::string& path);

// Adds a finished round's time. Under a lock (waited for a few seconds, and
// not at all once *giveUp is set), the file is read again and merged with
// inOutRecords, the time added and the whole pruned; only when the time is
// kept is the file written: within RECORDS_MOST_BYTES (each time left out to
// fit is logged), to a temporary file beside it (beside the target of a
// symbolic link) that is flushed and renamed over the old one. A file that
// could not be read whole is first linked aside as records.damaged-N, never
// overwritten. inOutRecords becomes the merged list either way. Returns
// whether the time was kept; a folder that cannot be written or a lock held
// by another program costs one log line.
bool AddRecord(const std::string& path, const Record& record, std::vector<Record>& inOutRecords,
               const std::atomic<bool>* giveUp = NULL);

#endif
