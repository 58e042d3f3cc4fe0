#include "bench/statistics.h"

#include <algorithm>
#include <cmath>

double Percentile(std::vector<double> samples, double p) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const double rank = std::ceil(p / 100 * static_cast<double>(samples.size()));
    const size_t index = rank < 1 ? 0 : static_cast<size_t>(rank) - 1;
    return samples[std::min(index, samples.size() - 1)];
}

double Largest(const std::vector<double>& samples) {
    return samples.empty() ? 0 : *std::max_element(samples.begin(), samples.end());
}
