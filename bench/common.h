#pragma once
// What every part of the benchmark uses: progress notes, formatting, the clock
// and order statistics.

#include <string>
#include <vector>

namespace zingel::bench {

// A line of progress on standard error; standard output is the table's.
void Note(const char* format, ...);
// printf into a string, up to 511 bytes: enough for any row.
std::string Format(const char* format, ...);

// Seconds on the performance counter, the clock both stand-ins log with.
double Now();
// The mean interval of a 1 ms timer of this thread over `ticks` ticks.
double TimerPeriod(int ticks);

// The value at `fraction` of the sorted values (0: the least, 1: the most).
double Percentile(std::vector<double> values, double fraction);
double Median(std::vector<double> values);

}  // namespace zingel::bench
