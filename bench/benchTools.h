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
// "ratio : 1.23x  (goal <= 2.00x)  met"; the verdict counts for figure N's final line, which
// gives the criterion furthest from (or least within) its goal.
void verdict(int figure, const QString &label, double ratio, double goal);
int missedGoals();
// One line per figure measured, "figure N: ratio R goal G met" (or "missed"), for scripts.
void finalLines();

// Timings of a viewer and its baseline taken in pairs (viewer, baseline, viewer, ...), so that
// a machine whose speed drifts moves both alike: the median of the per-pair ratios, the ratio
// of the minimums, and the spread of the per-pair ratios.
struct Pairs
{
    double medianRatio = 0;
    double ratioOfMinimums = 0;
    double lowestRatio = 0;
    double highestRatio = 0;
};
Pairs pairs(const std::vector<double> &viewer, const std::vector<double> &baseline);

QString ms(double seconds);

} // namespace BenchTools

#endif
