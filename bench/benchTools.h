#ifndef BENCHTOOLS_H
#define BENCHTOOLS_H

#include <QString>

#include <cstdint>
#include <vector>

// Measurement helpers of the benchmark: sample statistics, process memory and the report lines.
namespace BenchTools {

struct Stats
{
    double median = 0;
    double mean = 0;
    double p99 = 0;
    double min = 0;
    double max = 0;
};

Stats stats(std::vector<double> samples);

// Bytes handed out by malloc and still in use, over every arena (every thread's allocations).
std::int64_t liveHeapBytes();
// Resident set size of the process now, and its peak since start or the last resetPeakResident().
std::int64_t residentBytes();
std::int64_t peakResidentBytes();
void resetPeakResident();

// Seconds elapsed on a monotonic clock, for timing one step.
double now();

void title(const QString &text);
void line(const QString &text);
// "ratio : 1.23x  (goal <= 2.00x)  met" and the verdict is counted for the summary.
void verdict(const QString &label, double ratio, double goal);
int missedGoals();

QString ms(double seconds);

} // namespace BenchTools

#endif
