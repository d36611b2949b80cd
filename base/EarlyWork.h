// Start-up work that needs no OpenGL context (the overlay's glyphs, the
// landscape), done in the order queued on one helper thread, so that it
// overlaps the opening of the window. A job writes nothing to the log and
// shows nothing: the main thread takes its result where it needs it and
// reports from there. Where no thread can be started, each job runs on the
// main thread when it is first waited for, after the jobs queued before it.
#ifndef BASE_EARLY_WORK_H
#define BASE_EARLY_WORK_H

typedef void (*EarlyJob)(void* data);

// Queues a job. Once the work has started, it runs when first waited for.
void QueueEarlyJob(EarlyJob job, void* data);
// Starts the jobs queued so far on the helper thread; once only.
void StartEarlyWork();
// Returns once the job queued with this data has run; false when none was.
bool WaitForEarlyJob(const void* data);
// Whether StartEarlyWork has run: from then on another thread may be running.
bool EarlyWorkStarted();

#endif
