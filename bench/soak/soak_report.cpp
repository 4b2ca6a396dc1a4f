#include "bench/soak/soak_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

#include "bench/soak/readings.h"
#include "bench/soak/soak_plan.h"

namespace soak {

namespace {

constexpr int64_t kP99LimitNs = 1000000;
constexpr double kFlatTolerance = 0.05;

void PrintByKind(const ChangeRecorder& recorder) {
    std::printf("\nwhole run by kind (us, 1 us buckets):\n");
    std::printf("%-16s %8s %8s %8s %9s\n", "kind", "changes", "p50", "p99", "max");
    for (int k = 0; k < kKinds; ++k) {
        const LatencyHistogram& h = recorder.ByKind(k);
        std::printf("%-16s %8llu %8.0f %8.0f %9.1f\n", kKindNames[k],
                    static_cast<unsigned long long>(h.Total()), h.Percentile(0.50),
                    h.Percentile(0.99), h.MaxUs());
    }
}

// The worst p99 and the counts of every window together.
struct WindowTotals {
    double worstP99 = 0;
    int off = 0;
    int strays = 0;
};

WindowTotals SumWindows(const std::vector<Sample>& samples) {
    WindowTotals totals;
    for (const Sample& s : samples) {
        totals.worstP99 = std::max(totals.worstP99, s.p99Us);
        totals.off += s.offCount;
        totals.strays += s.strays;
    }
    return totals;
}

}  // namespace

bool PrintReport(const ChangeRecorder& recorder, uint64_t reports, double seconds) {
    const std::vector<Sample>& samples = recorder.Samples();
    if (samples.empty()) {
        return false;
    }
    PrintByKind(recorder);
    const Sample& first = samples.front();
    const Sample& last = samples.back();
    const double rssChange = first.rssKiB > 0 ? static_cast<double>(last.rssKiB - first.rssKiB) /
                                                    static_cast<double>(first.rssKiB)
                                              : 1.0;
    const bool rssFlat = std::fabs(rssChange) <= kFlatTolerance;
    const bool queueFlat =
        std::fabs(static_cast<double>(last.queueDepth) - static_cast<double>(first.queueDepth)) <=
        kFlatTolerance * static_cast<double>(first.queueDepth);
    const WindowTotals totals = SumWindows(samples);
    const bool p99Held = totals.worstP99 * 1000.0 < static_cast<double>(kP99LimitNs);
    const bool oneFrameEach = totals.off == 0 && totals.strays == 0 && reports == kChanges;
    std::printf("\nRSS flat (first %ld KiB, last %ld KiB, %+.2f %%): %s\n", first.rssKiB,
                last.rssKiB, rssChange * 100.0, rssFlat ? "yes" : "NO");
    std::printf("queue depth flat (first %zu, last %zu): %s\n", first.queueDepth, last.queueDepth,
                queueFlat ? "yes" : "NO");
    std::printf("p99 < 1 ms in every window (worst %.1f us): %s\n", totals.worstP99,
                p99Held ? "yes" : "NO");
    std::printf("one frame per change (%d changes, %llu reports received, %d off, %d strays): %s\n",
                kChanges, static_cast<unsigned long long>(reports), totals.off, totals.strays,
                oneFrameEach ? "yes" : "NO");
    std::printf("run time: %.1f s; load average at the end %s (%u cores)\n", seconds,
                LoadText().c_str(), std::thread::hardware_concurrency());
    return rssFlat && queueFlat && p99Held && oneFrameEach;
}

}  // namespace soak
