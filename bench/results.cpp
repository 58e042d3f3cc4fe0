#include "bench/results.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

std::string resultsFile;

}  // namespace

void SetResultsFile(std::string path) { resultsFile = std::move(path); }

void Record(std::string_view key, double value) {
    std::ofstream out(resultsFile, std::ios::app);
    out.precision(10);
    out << key << ' ' << value << '\n';
    std::printf("  %-32.*s %.6g\n", static_cast<int>(key.size()), key.data(), value);
    std::fflush(stdout);
}

std::map<std::string, double> ReadResults(const std::string& path) {
    std::map<std::string, double> results;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string key;
        double value = 0;
        if (fields >> key >> value) results[key] = value;
    }
    return results;
}
