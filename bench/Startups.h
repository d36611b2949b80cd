// Start-ups measured from outside: a program started afresh, timed from the
// start until it reports its first swapped frame on standard output, and its
// peak resident size when it has ended.
#ifndef BENCH_STARTUPS_H
#define BENCH_STARTUPS_H

#include <vector>

struct Startup {
    double firstSwapMs;
    double peakMb;
};

// Starts the program (argv[0] a path) count times, one after another.
// Runs that fail are left out.
std::vector<Startup> MeasureStartups(char* const argv[], int count);

double Median(std::vector<double> values);

// The median, lowest and highest of the values, as "median (low to high)".
void PrintSpread(const char* name, std::vector<double> values, const char* unit);

#endif
