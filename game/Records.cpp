// Reading, merging and writing the best times.
#include "game/Records.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/Logger.h"
#include "app/PlayerFiles.h"
#include "game/Layout.h"

static const int KEPT_PER_LAYOUT = 5;
static const int KEPT_OVERALL = 10;
// A round longer than a day is no record.
static const long long MOST_TICKS = 60LL * 60 * 60 * 24;

bool Record::operator==(const Record& other) const
{
    return m_Rules == other.m_Rules && m_Layout == other.m_Layout && m_Ticks == other.m_Ticks &&
           m_Date == other.m_Date;
}

// Best first: fewer ticks, then the earlier day, then the lower layout.
static bool Better(const Record& a, const Record& b)
{
    if (a.m_Ticks != b.m_Ticks) {
        return a.m_Ticks < b.m_Ticks;
    }
    if (a.m_Date != b.m_Date) {
        return a.m_Date < b.m_Date;
    }
    if (a.m_Layout != b.m_Layout) {
        return a.m_Layout < b.m_Layout;
    }
    return a.m_Rules < b.m_Rules;
}

static bool IsDate(const std::string& text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        if (i != 4 && i != 7 && (text[i] < '0' || text[i] > '9')) {
            return false;
        }
    }
    int month = atoi(text.substr(5, 2).c_str());
    int day = atoi(text.substr(8, 2).c_str());
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

// One "RULES LAYOUT TICKS DATE" line, nothing after it.
static bool ParseLine(const std::string& line, Record& outRecord)
{
    int rules = 0;
    int layout = 0;
    long long ticks = 0;
    char date[11] = "";
    int used = 0;
    if (line.find('\0') != std::string::npos ||
        sscanf(line.c_str(), "%9d %5d %12lld %10s%n", &rules, &layout, &ticks, date, &used) != 4 ||
        line.find_first_not_of(" \t\r", static_cast<size_t>(used)) != std::string::npos) {
        return false;
    }
    if (rules < 1 || layout < LAYOUT_FIRST || layout > LAYOUT_LAST || ticks < 1 || ticks > MOST_TICKS ||
        !IsDate(date)) {
        return false;
    }
    outRecord = Record{rules, layout, ticks, date};
    return true;
}

bool ParseRecords(const std::string& text, std::vector<Record>& outRecords, std::vector<std::string>& outProblems)
{
    bool whole = true;
    bool versioned = false;
    int number = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end;
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (line.empty() || line[0] == '#') {
            continue;
        }
        char problem[160];
        Record record;
        if (!versioned) {
            versioned = line == RECORDS_VERSION_LINE;
            if (!versioned) {
                snprintf(problem, sizeof problem, "line %d: not \"%s\"; the file is not read", number,
                         RECORDS_VERSION_LINE);
                outProblems.push_back(problem);
                return false;
            }
        } else if (ParseLine(line, record)) {
            outRecords.push_back(record);
        } else {
            snprintf(problem, sizeof problem, "line %d: not a time (RULES LAYOUT TICKS YYYY-MM-DD); left out", number);
            outProblems.push_back(problem);
            whole = false;
        }
    }
    if (!versioned && !text.empty()) {
        outProblems.push_back("no version line; the file is not read");
        return false;
    }
    return whole;
}

std::string FormatRecords(const std::vector<Record>& records)
{
    std::string text = std::string(RECORDS_VERSION_LINE) +
                       "\n# Vellmora's best times, best first: RULES LAYOUT TICKS DATE. Ticks are\n"
                       "# sixtieths of a second; times made under other rules are kept, not compared.\n";
    for (const Record& record : records) {
        char line[96];
        snprintf(line, sizeof line, "%d %d %lld %s\n", record.m_Rules, record.m_Layout, record.m_Ticks,
                 record.m_Date.c_str());
        text += line;
    }
    return text;
}

void PruneRecords(std::vector<Record>& inOut)
{
    std::stable_sort(inOut.begin(), inOut.end(), Better);
    inOut.erase(std::unique(inOut.begin(), inOut.end()), inOut.end());
    std::map<std::pair<int, int>, int> perLayout;
    std::map<int, int> overall;
    std::vector<Record> kept;
    for (const Record& record : inOut) {
        int& onLayout = perLayout[std::make_pair(record.m_Rules, record.m_Layout)];
        int& onRules = overall[record.m_Rules];
        if (onLayout < KEPT_PER_LAYOUT || onRules < KEPT_OVERALL) {
            kept.push_back(record);
        }
        ++onLayout;
        ++onRules;
    }
    inOut.swap(kept);
}

const Record* BestRecord(const std::vector<Record>& records, int layout)
{
    const Record* best = NULL;
    for (const Record& record : records) {
        if (record.m_Rules == RULES_NUMBER && (layout == 0 || record.m_Layout == layout) &&
            (best == NULL || Better(record, *best))) {
            best = &record;
        }
    }
    return best;
}

std::string RecordsPath()
{
    return PlayerFilePath("XDG_DATA_HOME", ".local/share", "records");
}

// The file's records. Returns false, with a reason, when the file is there
// but was not read whole: it must then not be overwritten.
static bool ReadRecordsFile(const std::string& path, std::vector<Record>& outRecords,
                            std::vector<std::string>& outProblems)
{
    std::string text;
    std::string problem;
    if (!ReadWholeFile(path, RECORDS_MOST_BYTES, text, problem)) {
        if (!problem.empty()) {
            outProblems.push_back(problem + "; not read");
        }
        return problem.empty();
    }
    return ParseRecords(text, outRecords, outProblems);
}

static void LogProblems(const std::string& path, const std::vector<std::string>& problems)
{
    for (const std::string& problem : problems) {
        LogMessage("Records: %s %s", path.c_str(), problem.c_str());
    }
}

std::vector<Record> LoadRecords(const std::string& path)
{
    std::vector<Record> records;
    std::vector<std::string> problems;
    if (!path.empty()) {
        ReadRecordsFile(path, records, problems);
    }
    LogProblems(path, problems);
    PruneRecords(records);
    return records;
}

bool AddRecord(const std::string& path, const Record& record, std::vector<Record>& inOutRecords)
{
    std::vector<Record> merged = inOutRecords;
    merged.push_back(record);
    if (path.empty() || !MakeParentFolders(path)) {
        LogMessage("Records: no folder for %s (%s); the time is not kept", path.c_str(), strerror(errno));
        PruneRecords(merged);
        inOutRecords.swap(merged);
        return false;
    }
    // One game at a time reads, merges and writes.
    int lock = open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lock < 0 || flock(lock, LOCK_EX) != 0) {
        LogMessage("Records: %s cannot be written (%s); the time is not kept", path.c_str(), strerror(errno));
        if (lock >= 0) {
            close(lock);
        }
        PruneRecords(merged);
        inOutRecords.swap(merged);
        return false;
    }
    std::vector<std::string> problems;
    bool whole = ReadRecordsFile(path, merged, problems);
    PruneRecords(merged);
    bool kept = std::find(merged.begin(), merged.end(), record) != merged.end();
    bool saved = false;
    if (kept) {
        std::string aside;
        saved = (whole || KeepAside(path, aside)) && ReplaceFile(path, FormatRecords(merged));
        if (!aside.empty()) {
            LogMessage("Records: %s kept as %s", path.c_str(), aside.c_str());
        }
        if (!saved) {
            LogMessage("Records: %s cannot be written (%s); the time is not kept", path.c_str(), strerror(errno));
        }
    }
    flock(lock, LOCK_UN);
    close(lock);
    inOutRecords.swap(merged);
    return kept && saved;
}
