// HelperThread: a thread of its own that runs jobs one after another, in
// the order queued, for work no frame may wait for (encoding a picture,
// keeping a time). It starts with the first job; where no thread can be
// started, each job runs on the caller's thread as it is queued. Its owner
// calls Finish when the process ends, so that no job is cut off.
#ifndef BASE_HELPER_THREAD_H
#define BASE_HELPER_THREAD_H

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <pthread.h>

class HelperThread {
public:
    typedef std::function<void()> Job;

    // niceness: the thread's priority as nice(1) counts it; 0 is the game's.
    explicit HelperThread(int niceness);

    // Queues job, or runs it here and now where no thread can be started.
    // Returns whether the thread took it.
    bool Queue(const Job& job);
    // How many jobs wait, not counting the one that runs.
    size_t Waiting();
    // Returns once every job queued so far has run.
    void Wait();
    // Runs what is queued, then ends the thread; a later job starts another.
    void Finish();

private:
    static void* Run(void* self);

    int m_Niceness;
    std::mutex m_Lock;
    std::condition_variable m_Woken;
    std::condition_variable m_Idle;
    std::deque<Job> m_Jobs;
    pthread_t m_Thread;
    bool m_Running;    // m_Thread runs
    bool m_Busy;       // a job taken from m_Jobs runs
    bool m_Finishing;

    HelperThread(const HelperThread&);
    HelperThread& operator=(const HelperThread&);
};

#endif
