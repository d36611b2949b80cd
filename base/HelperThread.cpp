// The helper thread's queue, its start and its end.
#include "base/HelperThread.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

HelperThread::HelperThread(int niceness)
    : m_Niceness(niceness), m_Thread(), m_Running(false), m_Busy(false), m_Finishing(false)
{
}

void* HelperThread::Run(void* self)
{
    HelperThread& helper = *static_cast<HelperThread*>(self);
    if (helper.m_Niceness != 0) {
        setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), helper.m_Niceness);
    }
    std::unique_lock<std::mutex> lock(helper.m_Lock);
    for (;;) {
        helper.m_Woken.wait(lock, [&helper] { return !helper.m_Jobs.empty() || helper.m_Finishing; });
        if (helper.m_Jobs.empty()) {
            return NULL;
        }
        Job job = helper.m_Jobs.front();
        helper.m_Jobs.pop_front();
        helper.m_Busy = true;
        lock.unlock();
        job();
        lock.lock();
        helper.m_Busy = false;
        helper.m_Idle.notify_all();
    }
}

bool HelperThread::Queue(const Job& job)
{
    std::unique_lock<std::mutex> lock(m_Lock);
    if (!m_Running) {
        m_Finishing = false;
        m_Running = pthread_create(&m_Thread, NULL, Run, this) == 0;
    }
    if (!m_Running) {
        // No thread to be had: the caller pays for the job.
        lock.unlock();
        job();
        return false;
    }
    m_Jobs.push_back(job);
    m_Woken.notify_one();
    return true;
}

size_t HelperThread::Waiting()
{
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_Jobs.size();
}

void HelperThread::Wait()
{
    std::unique_lock<std::mutex> lock(m_Lock);
    m_Idle.wait(lock, [this] { return m_Jobs.empty() && !m_Busy; });
}

void HelperThread::Finish()
{
    bool running = false;
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        running = m_Running;
        m_Running = false;
        m_Finishing = true;
    }
    m_Woken.notify_one();
    if (running) {
        pthread_join(m_Thread, NULL);
    }
}
