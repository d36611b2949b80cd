// The helper thread of the start-up and the jobs it runs.
#include "base/EarlyWork.h"

#include <pthread.h>
#include <vector>

namespace {

struct Queued {
    EarlyJob job;
    void* data;
    bool done;
};

// Guarded by s_Lock: the jobs and which have run. The helper runs the first
// s_ThreadJobs, in order; any later one runs on the thread that waits for
// it. A job's data is cleared once it has been waited for, so that new data
// at the same address is a job of its own. The list is never destroyed: a
// start-up that ends early may leave the helper still running at exit.
std::vector<Queued>& s_Jobs = *new std::vector<Queued>();
size_t s_ThreadJobs = 0;
bool s_Started = false;
pthread_mutex_t s_Lock = PTHREAD_MUTEX_INITIALIZER;
pthread_cond_t s_Done = PTHREAD_COND_INITIALIZER;

void* RunJobs(void*)
{
    for (size_t i = 0; i < s_ThreadJobs; ++i) {
        pthread_mutex_lock(&s_Lock);
        Queued job = s_Jobs[i];
        pthread_mutex_unlock(&s_Lock);
        job.job(job.data);
        pthread_mutex_lock(&s_Lock);
        s_Jobs[i].done = true;
        pthread_cond_broadcast(&s_Done);
        pthread_mutex_unlock(&s_Lock);
    }
    return NULL;
}

}  // namespace

void QueueEarlyJob(EarlyJob job, void* data)
{
    pthread_mutex_lock(&s_Lock);
    Queued queued = {job, data, false};
    s_Jobs.push_back(queued);
    pthread_mutex_unlock(&s_Lock);
}

void StartEarlyWork()
{
    if (s_Started || s_Jobs.empty()) {
        return;
    }
    s_Started = true;
    pthread_mutex_lock(&s_Lock);
    s_ThreadJobs = s_Jobs.size();
    pthread_mutex_unlock(&s_Lock);
    // Under a limit on processes or memory no thread may start; the jobs
    // then run as they are waited for.
    pthread_t thread;
    if (pthread_create(&thread, NULL, RunJobs, NULL) == 0) {
        pthread_detach(thread);
    } else {
        pthread_mutex_lock(&s_Lock);
        s_ThreadJobs = 0;
        pthread_mutex_unlock(&s_Lock);
    }
}

bool EarlyWorkStarted()
{
    return s_Started;
}

bool WaitForEarlyJob(const void* data)
{
    if (data == NULL) {
        return false;
    }
    pthread_mutex_lock(&s_Lock);
    size_t index = 0;
    while (index < s_Jobs.size() && s_Jobs[index].data != data) {
        ++index;
    }
    if (index == s_Jobs.size()) {
        pthread_mutex_unlock(&s_Lock);
        return false;
    }
    if (index < s_ThreadJobs) {
        while (!s_Jobs[index].done) {
            pthread_cond_wait(&s_Done, &s_Lock);
        }
    } else {
        // Not the helper's: this one and those before it not yet run, here.
        for (size_t i = s_ThreadJobs; i <= index; ++i) {
            if (!s_Jobs[i].done) {
                Queued job = s_Jobs[i];
                pthread_mutex_unlock(&s_Lock);
                job.job(job.data);
                pthread_mutex_lock(&s_Lock);
                s_Jobs[i].done = true;
            }
        }
    }
    s_Jobs[index].data = NULL;
    pthread_mutex_unlock(&s_Lock);
    return true;
}
