// The round files' helper thread, its jobs and their results.
#include "game/RoundFiles.h"

#include <atomic>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <utility>

#include "base/HelperThread.h"
#include "base/Logger.h"

namespace {

struct Job {
    bool m_Keeping;       // a finished round's; else a ghost to read
    long long m_Round;
    std::string m_RecordsPath;
    Record m_Record;
    std::vector<Record> m_Records;
    std::string m_GhostPath;
    Ghost m_Ghost;        // the flight to keep, or the layout and rules to read
};

HelperThread s_Helper(0);
// The results, until the game takes them.
std::mutex s_Lock;
std::deque<KeptTime> s_Times;
std::deque<ReadGhost> s_Ghosts;
// Set when the process ends: a lock is no longer waited for.
std::atomic<bool> s_GiveUp(false);

void Run(Job& job)
{
    if (!job.m_Keeping) {
        ReadGhost read{job.m_Round, job.m_GhostPath, Ghost()};
        LoadGhost(job.m_GhostPath, job.m_Ghost.m_Layout, job.m_Ghost.m_Rules, read.m_Ghost);
        std::lock_guard<std::mutex> lock(s_Lock);
        s_Ghosts.push_back(std::move(read));
        return;
    }
    KeptTime time{job.m_Round, job.m_Record, std::vector<Record>(), false};
    time.m_Kept = AddRecord(job.m_RecordsPath, job.m_Record, job.m_Records, &s_GiveUp);
    time.m_Records.swap(job.m_Records);
    if (!job.m_Ghost.m_Poses.empty() && KeepGhost(job.m_GhostPath, job.m_Ghost, &s_GiveUp)) {
        LogMessage("Ghost: %s is this round's", job.m_GhostPath.c_str());
    }
    std::lock_guard<std::mutex> lock(s_Lock);
    s_Times.push_back(std::move(time));
}

void Queue(Job* job)
{
    static bool registered = false;
    if (!registered) {
        registered = atexit(FinishRoundFiles) == 0;
    }
    s_GiveUp = false;
    s_Helper.Queue([job] {
        Run(*job);
        delete job;
    });
}

}  // namespace

void KeepRoundBeside(long long round, const std::string& recordsPath, const Record& record,
                     std::vector<Record>& records, const std::string& ghostPath, Ghost& flown)
{
    Job* job = new Job();
    job->m_Keeping = true;
    job->m_Round = round;
    job->m_RecordsPath = recordsPath;
    job->m_Record = record;
    job->m_Records.swap(records);
    job->m_GhostPath = ghostPath;
    job->m_Ghost = std::move(flown);
    flown.m_Poses.clear();
    Queue(job);
}

void ReadGhostBeside(long long round, const std::string& path, int layout, int rules)
{
    Job* job = new Job();
    job->m_Keeping = false;
    job->m_Round = round;
    job->m_GhostPath = path;
    job->m_Ghost.m_Layout = layout;
    job->m_Ghost.m_Rules = rules;
    Queue(job);
}

// The oldest of results into outResult; false when there is none.
template <typename Result>
static bool TakeOldest(std::deque<Result>& results, Result& outResult)
{
    std::lock_guard<std::mutex> lock(s_Lock);
    if (results.empty()) {
        return false;
    }
    outResult = std::move(results.front());
    results.pop_front();
    return true;
}

bool TakeKeptTime(KeptTime& outTime)
{
    return TakeOldest(s_Times, outTime);
}

bool TakeReadGhost(ReadGhost& outGhost)
{
    return TakeOldest(s_Ghosts, outGhost);
}

void WaitForRoundFiles()
{
    s_Helper.Wait();
}

void FinishRoundFiles()
{
    s_GiveUp = true;
    s_Helper.Finish();
}
