#include "bench/Startups.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

static Startup StartOnce(char* const argv[], bool* ok)
{
    Startup run = {0.0, 0.0};
    *ok = false;
    int channel[2];
    if (pipe(channel) != 0) {
        return run;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, channel[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, channel[0]);
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    pid_t child = 0;
    int spawned = posix_spawn(&child, argv[0], &actions, NULL, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(channel[1]);
    if (spawned != 0) {
        close(channel[0]);
        return run;
    }
    // The first line the child writes is its first swapped frame.
    char text[256];
    size_t length = 0;
    bool swapped = false;
    ssize_t got = 0;
    while (!swapped && (got = read(channel[0], text + length, sizeof text - 1 - length)) > 0) {
        length += static_cast<size_t>(got);
        text[length] = '\0';
        swapped = strstr(text, "swapped\n") != NULL;
        if (length == sizeof text - 1) {
            length = 0;
        }
    }
    run.firstSwapMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    while (read(channel[0], text, sizeof text) > 0) {
    }
    close(channel[0]);
    int status = 0;
    struct rusage usage;
    if (wait4(child, &status, 0, &usage) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0 && swapped) {
        run.peakMb = usage.ru_maxrss / 1024.0;
        *ok = true;
    }
    return run;
}

std::vector<Startup> MeasureStartups(char* const argv[], int count)
{
    std::vector<Startup> runs;
    for (int i = 0; i < count; ++i) {
        bool ok = false;
        Startup run = StartOnce(argv, &ok);
        if (ok) {
            runs.push_back(run);
        } else {
            fprintf(stderr, "%s did not start and end cleanly\n", argv[0]);
        }
    }
    return runs;
}

double Median(std::vector<double> values)
{
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

void PrintSpread(const char* name, std::vector<double> values, const char* unit)
{
    if (values.empty()) {
        printf("%-34s no runs\n", name);
        return;
    }
    printf("%-34s %7.1f %s  (%.1f to %.1f, %zu runs)\n", name, Median(values), unit,
           *std::min_element(values.begin(), values.end()), *std::max_element(values.begin(), values.end()),
           values.size());
}
