// Reading, merging and writing the best times.
#include "game/Records.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <numeric>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Logger.h"
#include "base/PlayerFiles.h"
#include "game/Layout.h"
#include "game/Round.h"

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

// A whole field of digits, at most mostDigits of them, as a number.
static bool ParseDigits(const std::string& field, size_t mostDigits, long long& outValue)
{
    if (field.empty() || field.size() > mostDigits ||
        field.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    outValue = std::stoll(field);
    return true;
}

// One "RULES LAYOUT TICKS DATE" line: four fields apart by spaces or tabs,
// each read whole and checked, nothing after them.
static bool ParseLine(const std::string& line, Record& outRecord)
{
    std::vector<std::string> fields;
    for (size_t start = line.find_first_not_of(" \t"); start != std::string::npos;
         start = line.find_first_not_of(" \t", start)) {
        size_t end = line.find_first_of(" \t", start);
        end = end == std::string::npos ? line.size() : end;
        fields.push_back(line.substr(start, end - start));
        start = end;
    }
    long long rules = 0;
    long long layout = 0;
    long long ticks = 0;
    if (fields.size() != 4 || !ParseDigits(fields[0], 9, rules) || !ParseDigits(fields[1], 5, layout) ||
        !ParseDigits(fields[2], 12, ticks)) {
        return false;
    }
    if (rules < 1 || layout < LAYOUT_FIRST || layout > LAYOUT_LAST || ticks < 1 || ticks > MOST_TICKS ||
        !IsDate(fields[3])) {
        return false;
    }
    outRecord = Record{static_cast<int>(rules), static_cast<int>(layout), ticks, fields[3]};
    return true;
}

bool ParseRecords(const std::string& text, std::vector<Record>& outRecords, std::vector<std::string>& outProblems)
{
    bool whole = true;
    bool versioned = false;
    int number = 0;
    // A byte-order mark and CRLF line ends, as an editor on Windows saves.
    static const std::string BOM = "\xef\xbb\xbf";
    for (size_t start = text.compare(0, BOM.size(), BOM) == 0 ? BOM.size() : 0; start < text.size();) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end;
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!line.empty() && line[line.size() - 1] == '\r') {
            line.erase(line.size() - 1);
        }
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

// A time's line in the file, as FormatRecords writes it.
static size_t LineBytes(const Record& record)
{
    return std::to_string(record.m_Rules).size() + std::to_string(record.m_Layout).size() +
           std::to_string(record.m_Ticks).size() + record.m_Date.size() + 4;
}

std::vector<Record> FitRecords(std::vector<Record>& inOut, long long mostBytes)
{
    long long bytes = static_cast<long long>(FormatRecords(std::vector<Record>()).size());
    std::map<std::pair<int, int>, int> perLayout;
    for (const Record& record : inOut) {
        bytes += static_cast<long long>(LineBytes(record));
        ++perLayout[std::make_pair(record.m_Rules, record.m_Layout)];
    }
    if (bytes <= mostBytes) {
        return std::vector<Record>();
    }
    // Best first, so a layout's first time is its best.
    std::vector<bool> isBest(inOut.size(), false);
    std::vector<int> times(inOut.size(), 0);
    std::map<std::pair<int, int>, int> seen;
    for (size_t i = 0; i < inOut.size(); ++i) {
        const std::pair<int, int> layout = std::make_pair(inOut[i].m_Rules, inOut[i].m_Layout);
        isBest[i] = seen[layout]++ == 0;
        times[i] = perLayout[layout];
    }
    // The order they go in, each by its place in inOut.
    std::vector<size_t> order(inOut.size());
    std::iota(order.begin(), order.end(), 0);
    auto goesFirst = [&](size_t a, size_t b) {
        const Record& x = inOut[a];
        const Record& y = inOut[b];
        // Not a best, then another rules' best, then this rules' best.
        int xRank = !isBest[a] ? 0 : x.m_Rules != RULES_NUMBER ? 1 : 2;
        int yRank = !isBest[b] ? 0 : y.m_Rules != RULES_NUMBER ? 1 : 2;
        if (xRank != yRank) {
            return xRank < yRank;
        }
        if (xRank == 0 && times[a] != times[b]) {
            return times[a] < times[b];
        }
        if (x.m_Date != y.m_Date) {
            return x.m_Date < y.m_Date;
        }
        return a > b;  // the slower first
    };
    std::stable_sort(order.begin(), order.end(), goesFirst);
    std::vector<bool> goes(inOut.size(), false);
    for (size_t i = 0; i < order.size() && bytes > mostBytes; ++i) {
        goes[order[i]] = true;
        bytes -= static_cast<long long>(LineBytes(inOut[order[i]]));
    }
    std::vector<Record> kept;
    std::vector<Record> leftOut;
    for (size_t i = 0; i < inOut.size(); ++i) {
        (goes[i] ? leftOut : kept).push_back(inOut[i]);
    }
    inOut.swap(kept);
    return leftOut;
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

// Whether record is faster than every other time of the current rules on
// layout (over all layouts for 0).
static bool IsNewBest(const std::vector<Record>& records, const Record& record, int layout)
{
    for (const Record& other : records) {
        if (other.m_Rules == RULES_NUMBER && (layout == 0 || other.m_Layout == layout) && !(other == record) &&
            other.m_Ticks <= record.m_Ticks) {
            return false;
        }
    }
    return true;
}

Record RecordOfToday(int layout, long long ticks)
{
    char date[16];
    time_t now = time(NULL);
    struct tm local;
    strftime(date, sizeof date, "%Y-%m-%d", localtime_r(&now, &local));
    return Record{RULES_NUMBER, layout, ticks, date};
}

Verdict JudgeTime(const std::vector<Record>& records, const Record& record)
{
    const Record* layoutBest = BestRecord(records, record.m_Layout);
    const Record* overallBest = BestRecord(records, 0);
    Verdict verdict;
    verdict.m_NewLayoutBest = IsNewBest(records, record, record.m_Layout);
    verdict.m_NewOverallBest = IsNewBest(records, record, 0);
    verdict.m_LayoutBestTicks = layoutBest != NULL ? layoutBest->m_Ticks : record.m_Ticks;
    verdict.m_OverallBestTicks = overallBest != NULL ? overallBest->m_Ticks : record.m_Ticks;
    verdict.m_OverallBestLayout = overallBest != NULL ? overallBest->m_Layout : record.m_Layout;
    return verdict;
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

// The time left out to fit, as the log names it.
static void LogLeftOut(const std::string& path, const std::vector<Record>& leftOut)
{
    for (const Record& record : leftOut) {
        LogMessage("Records: %s would be over %lld KiB; left out: layout %d in %s of %s (rules %d)", path.c_str(),
                   RECORDS_MOST_BYTES / 1024, record.m_Layout, ClockText(record.m_Ticks).c_str(),
                   record.m_Date.c_str(), record.m_Rules);
    }
}

bool AddRecord(const std::string& path, const Record& record, std::vector<Record>& inOutRecords,
               const std::atomic<bool>* giveUp)
{
    std::vector<Record> merged = inOutRecords;
    merged.push_back(record);
    PruneRecords(merged);
    if (path.empty()) {
        LogMessage("Records: no folder for the best times (HOME is not set); the time is not kept");
        inOutRecords.swap(merged);
        return false;
    }
    if (!MakeParentFolders(path)) {
        LogMessage("Records: no folder for %s (%s); the time is not kept", path.c_str(), strerror(errno));
        inOutRecords.swap(merged);
        return false;
    }
    // One game at a time reads, merges and writes; another game's finish
    // takes milliseconds, so a lock held for seconds is another program's.
    const std::string lockPath = path + ".lock";
    int lock = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lock < 0 || !LockWithin(lock, LOCK_WAIT_MS, giveUp)) {
        if (lock >= 0 && errno == EWOULDBLOCK) {
            LogMessage("Records: the time is not kept: %s is locked by another program", lockPath.c_str());
        } else {
            LogMessage("Records: %s cannot be written (%s); the time is not kept", path.c_str(), strerror(errno));
        }
        if (lock >= 0) {
            close(lock);
        }
        inOutRecords.swap(merged);
        return false;
    }
    std::vector<std::string> problems;
    bool whole = ReadRecordsFile(path, merged, problems);
    PruneRecords(merged);
    std::vector<Record> leftOut = FitRecords(merged, RECORDS_MOST_BYTES);
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
        } else {
            LogLeftOut(path, leftOut);
        }
    }
    flock(lock, LOCK_UN);
    close(lock);
    inOutRecords.swap(merged);
    return kept && saved;
}
