#include "recording/frame_statistics.h"

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

std::vector<WorstSecond> findWorstSeconds(const std::vector<FrameSample>& samples, int count) {
    std::map<int, std::vector<double>> bySecond;
    for (const FrameSample& sample : samples)
        bySecond[static_cast<int>(std::floor(sample.demoTime))].push_back(sample.milliseconds);
    std::vector<WorstSecond> seconds;
    for (const auto& [second, times] : bySecond)
        seconds.push_back(WorstSecond{second, percentile(times, 0.99), static_cast<int>(times.size())});
    // Stable, so that of two equal seconds the earlier stays first.
    std::stable_sort(seconds.begin(), seconds.end(),
                     [](const WorstSecond& a, const WorstSecond& b) { return a.p99Milliseconds > b.p99Milliseconds; });
    if (count >= 0 && seconds.size() > static_cast<std::size_t>(count)) seconds.resize(static_cast<std::size_t>(count));
    return seconds;
}

WorstSecond findWorstSecond(const std::vector<FrameSample>& samples) {
    const std::vector<WorstSecond> worst = findWorstSeconds(samples, 1);
    return worst.empty() ? WorstSecond{} : worst.front();
}
