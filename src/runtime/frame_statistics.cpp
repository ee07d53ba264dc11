#include "runtime/frame_statistics.h"

#include <algorithm>
#include <cmath>
#include <map>

double percentile(std::vector<double> values, double share) {
    if (values.empty()) return 0.0;
    share = std::clamp(share, 0.0, 1.0);
    // Nearest rank: the smallest value with at least that share at or below it.
    const auto rank = static_cast<std::size_t>(std::ceil(share * static_cast<double>(values.size())));
    const std::size_t index = rank == 0 ? 0 : rank - 1;
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(index), values.end());
    return values[index];
}

WorstSecond findWorstSecond(const std::vector<FrameSample>& samples) {
    std::map<int, std::vector<double>> bySecond;
    for (const FrameSample& sample : samples)
        bySecond[static_cast<int>(std::floor(sample.demoTime))].push_back(sample.milliseconds);
    WorstSecond worst;
    for (const auto& [second, times] : bySecond) {
        const double p99 = percentile(times, 0.99);
        if (worst.frames == 0 || p99 > worst.p99Milliseconds) {
            worst.second = second;
            worst.p99Milliseconds = p99;
            worst.frames = static_cast<int>(times.size());
        }
    }
    return worst;
}
