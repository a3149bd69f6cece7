#include "benchTools.h"

#include <QFile>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <malloc.h>
#include <map>
#include <numeric>
#include <unistd.h>

namespace BenchTools {

namespace {
int missed = 0;

std::int64_t statusField(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key(field);
    for (const QByteArray &row : status.readAll().split('\n')) {
        if (row.startsWith(key))
            return row.mid(key.size()).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}
} // namespace

Stats stats(std::vector<double> samples)
{
    Stats s;
    if (samples.empty())
        return s;
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    s.median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    s.mean = std::accumulate(samples.begin(), samples.end(), 0.0) / double(n);
    s.p99 = samples[std::min(n - 1, size_t(std::ceil(0.99 * double(n))) - 1)];
    s.min = samples.front();
    s.max = samples.back();
    return s;
}

std::int64_t liveHeapBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return std::int64_t(info.uordblks) + std::int64_t(info.hblkhd);
}

std::int64_t residentBytes()
{
    return statusField("VmRSS:");
}

std::int64_t peakResidentBytes()
{
    return statusField("VmHWM:");
}

void resetPeakResident()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

double now()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void title(const QString &text)
{
    std::printf("\n%s\n", qUtf8Printable(text));
    std::fflush(stdout);
}

void line(const QString &text)
{
    std::printf("    %s\n", qUtf8Printable(text));
    std::fflush(stdout);
}

namespace {

struct Final
{
    double ratio;
    double goal;
};
std::map<int, Final> finals;

} // namespace

void verdict(int figure, const QString &label, double ratio, double goal)
{
    const bool met = ratio <= goal;
    if (!met)
        ++missed;
    line(QStringLiteral("%1: %2x  (goal <= %3x)  %4")
             .arg(label)
             .arg(ratio, 0, 'f', 2)
             .arg(goal, 0, 'f', 2)
             .arg(met ? QStringLiteral("met") : QStringLiteral("MISSED")));
    const auto known = finals.find(figure);
    if (known == finals.end() || ratio / goal > known->second.ratio / known->second.goal)
        finals[figure] = {ratio, goal};
}

int missedGoals()
{
    return missed;
}

void finalLines()
{
    std::printf("\n");
    for (const auto &[figure, f] : finals)
        std::printf("figure %d: ratio %.2f goal %.2f %s\n", figure, f.ratio, f.goal,
                    f.ratio <= f.goal ? "met" : "missed");
    std::fflush(stdout);
}

Pairs pairs(const std::vector<double> &viewer, const std::vector<double> &baseline)
{
    Pairs p;
    std::vector<double> ratios;
    for (size_t i = 0; i < std::min(viewer.size(), baseline.size()); ++i) {
        if (baseline[i] > 0)
            ratios.push_back(viewer[i] / baseline[i]);
    }
    if (ratios.empty())
        return p;
    const Stats r = stats(ratios);
    p.medianRatio = r.median;
    p.lowestRatio = r.min;
    p.highestRatio = r.max;
    const double bestBaseline = stats(baseline).min;
    p.ratioOfMinimums = bestBaseline > 0 ? stats(viewer).min / bestBaseline : 0;
    return p;
}

QString ms(double seconds)
{
    return QString::number(seconds * 1000.0, 'f', seconds < 0.01 ? 3 : 1) + QStringLiteral(" ms");
}

} // namespace BenchTools
