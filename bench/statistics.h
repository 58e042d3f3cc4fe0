// Summaries of measured samples. Any thread.
#pragma once

#include <vector>

// The p-th percentile (0 to 100) by nearest rank; 0 for no samples.
double Percentile(std::vector<double> samples, double p);

// The largest sample; 0 for no samples.
double Largest(const std::vector<double>& samples);
