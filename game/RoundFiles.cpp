// The round files' helper thread, its jobs and their results.
#include "game/RoundFiles.h"

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <pthread.h>
#include <utility>

#include "app/Logger.h"

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

std::mutex s_Lock;
std::condition_variable s_Woken;
std::condition_variable s_Idle;
std::deque<Job*> s_Jobs;
bool s_Busy = false;       // a job taken from s_Jobs runs
pthread_t s_Thread;
bool s_Running = false;    // s_Thread runs
bool s_Finishing = false;
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

void* RunQueued(void*)
{
    std::unique_lock<std::mutex> lock(s_Lock);
    for (;;) {
        s_Woken.wait(lock, [] { return !s_Jobs.empty() || s_Finishing; });
        if (s_Jobs.empty()) {
            return NULL;
        }
        Job* job = s_Jobs.front();
        s_Jobs.pop_front();
        s_Busy = true;
        lock.unlock();
        Run(*job);
        delete job;
        lock.lock();
        s_Busy = false;
        s_Idle.notify_all();
    }
}

void Queue(Job* job)
{
    std::unique_lock<std::mutex> lock(s_Lock);
    if (!s_Running) {
        s_Finishing = false;
        s_GiveUp = false;
        s_Running = pthread_create(&s_Thread, NULL, RunQueued, NULL) == 0;
        static bool registered = false;
        if (s_Running && !registered) {
            registered = atexit(FinishRoundFiles) == 0;
        }
    }
    if (!s_Running) {
        // No thread to be had: the caller's frame waits for the disk.
        lock.unlock();
        Run(*job);
        delete job;
        return;
    }
    s_Jobs.push_back(job);
    s_Woken.notify_one();
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

bool TakeKeptTime(KeptTime& outTime)
{
    std::lock_guard<std::mutex> lock(s_Lock);
    if (s_Times.empty()) {
        return false;
    }
    outTime = std::move(s_Times.front());
    s_Times.pop_front();
    return true;
}

bool TakeReadGhost(ReadGhost& outGhost)
{
    std::lock_guard<std::mutex> lock(s_Lock);
    if (s_Ghosts.empty()) {
        return false;
    }
    outGhost = std::move(s_Ghosts.front());
    s_Ghosts.pop_front();
    return true;
}

void WaitForRoundFiles()
{
    std::unique_lock<std::mutex> lock(s_Lock);
    s_Idle.wait(lock, [] { return s_Jobs.empty() && !s_Busy; });
}

void FinishRoundFiles()
{
    bool running = false;
    {
        std::lock_guard<std::mutex> lock(s_Lock);
        running = s_Running;
        s_Running = false;
        s_Finishing = true;
    }
    s_GiveUp = true;
    s_Woken.notify_one();
    if (running) {
        pthread_join(s_Thread, NULL);
    }
}
