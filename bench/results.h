// The figures of one benchmark run. Each stage appends "key value" lines to the results file
// named on its command line, as soon as it has each figure, so that what a failing stage
// measured before it failed is kept; the report reads them all back. Main thread only.
#pragma once

#include <map>
#include <string>
#include <string_view>

// Names the file that Record appends to.
void SetResultsFile(std::string path);

// Appends key and value to the results file and prints them. A key recorded twice keeps its
// last value.
void Record(std::string_view key, double value);

// Returns every key of the file with its last value; nothing when it cannot be read.
std::map<std::string, double> ReadResults(const std::string& path);
