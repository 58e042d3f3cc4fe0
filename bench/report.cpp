#include "bench/report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "bench/results.h"

namespace {

enum class Goal { None, AtLeast, Below, AtMost };

struct Row {
    const char* figure;
    const char* key;
    const char* unit;
    Goal goal;
    double target;
    const char* completeKey;  // A flag that must be 1 for the figure to count, or null.
};

// The table: throughput and its limits, latency, responsiveness, memory, idle cost, start-up
// and exit.
const std::vector<Row> kRows = {
    {"End-to-end, 1 client", "e2e_1_lines_per_s", "lines/s", Goal::None, 0, "e2e_1_complete"},
    {"End-to-end, 8 clients", "e2e_8_lines_per_s", "lines/s", Goal::AtLeast, 300'000,
     "e2e_8_complete"},
    {"End-to-end, 64 clients", "e2e_64_lines_per_s", "lines/s", Goal::None, 0, "e2e_64_complete"},
    {"Display limit (no network)", "display_limit_lines_per_s", "lines/s", Goal::None, 0, nullptr},
    {"Network limit (no display, 8 clients)", "network_limit_lines_per_s", "lines/s", Goal::None, 0,
     "network_limit_complete"},
    {"End-to-end 8 clients / lower limit", "e2e_8_ratio", "", Goal::AtLeast, 0.75, nullptr},
    {"  CPU per line, 8 clients: main thread", "e2e_8_main_cpu_us_per_line", "us", Goal::None, 0,
     nullptr},
    {"  CPU per line, 8 clients: readers", "e2e_8_readers_cpu_us_per_line", "us", Goal::None, 0,
     nullptr},
    {"Latency p50 at 1,000 lines/s", "latency_p50_ms", "ms", Goal::None, 0, nullptr},
    {"Latency p99 at 1,000 lines/s", "latency_p99_ms", "ms", Goal::Below, 15, nullptr},
    {"Latency max at 1,000 lines/s", "latency_max_ms", "ms", Goal::None, 0, nullptr},
    {"Button press under flood, p50", "press_p50_ms", "ms", Goal::None, 0, nullptr},
    {"Button press under flood, p99", "press_p99_ms", "ms", Goal::Below, 50, nullptr},
    {"RSS idle", "rss_idle_mb", "MiB", Goal::None, 0, nullptr},
    {"RSS at the text cap", "rss_cap_mb", "MiB", Goal::Below, 150, nullptr},
    {"RSS 60 s flood, peak", "rss_flood_peak_mb", "MiB", Goal::Below, 150, nullptr},
    {"RSS 60 s flood, final", "rss_flood_final_mb", "MiB", Goal::Below, 150, nullptr},
    {"RSS growth, 2nd half of the flood", "rss_flood_growth_mb", "MiB", Goal::AtMost, 5, nullptr},
    {"Idle CPU, real binary, 10 s", "idle_cpu_percent", "% core", Goal::Below, 0.3, nullptr},
    {"  wake-ups of its threads", "idle_wakes_per_s", "/s", Goal::None, 0, nullptr},
    {"  CPU per wake-up", "idle_us_per_wake", "us", Goal::None, 0, nullptr},
    {"  CPU per wake-up of an empty loop", "bare_wake_us", "us", Goal::None, 0, nullptr},
    {"Start-up to first paint (median)", "startup_ms", "ms", Goal::Below, 40, nullptr},
    {"  of which up to main()", "startup_to_main_ms", "ms", Goal::None, 0, nullptr},
    {"  of which OpenMainWindow", "startup_open_window_ms", "ms", Goal::None, 0, nullptr},
    {"  an empty program, same libraries", "startup_empty_program_ms", "ms", Goal::None, 0,
     nullptr},
    {"Exit to process end, no connection", "exit_ms", "ms", Goal::None, 0, nullptr},
    {"Exit to process end, idle connection", "exit_idle_ms", "ms", Goal::None, 0, nullptr},
};

std::optional<double> Find(const std::map<std::string, double>& results, const std::string& key) {
    const auto found = results.find(key);
    if (found == results.end()) return std::nullopt;
    return found->second;
}

// The figures worked out from others: the end-to-end rate against the lower limit.
void AddDerived(std::map<std::string, double>& results) {
    const auto e2e = Find(results, "e2e_8_lines_per_s");
    const auto display = Find(results, "display_limit_lines_per_s");
    const auto network = Find(results, "network_limit_lines_per_s");
    if (e2e && display && network) {
        results["e2e_8_ratio"] = *e2e / std::min(*display, *network);
    }
}

// Returns value in decimal with its thousands separated by commas, as the targets are written.
std::string GroupedThousands(long long value) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return value < 0 ? "-" + grouped : grouped;
}

std::string TargetText(const Row& row) {
    if (row.goal == Goal::None) return "-";
    const char* sign = row.goal == Goal::AtLeast ? ">=" : row.goal == Goal::Below ? "<" : "<=";
    char number[32];
    std::snprintf(number, sizeof number, "%g", row.target);
    std::string text = std::string(sign) + " " +
                       (row.target >= 1000 ? GroupedThousands(std::llround(row.target)) : number);
    if (*row.unit) text += std::string(" ") + row.unit;
    return text;
}

// Whether the figure meets its target; nothing when it has none.
std::optional<bool> Met(const Row& row, std::optional<double> value, bool complete) {
    if (row.goal == Goal::None) return std::nullopt;
    if (!value || !complete) return false;
    switch (row.goal) {
        case Goal::AtLeast:
            return *value >= row.target;
        case Goal::Below:
            return *value < row.target;
        case Goal::AtMost:
            return *value <= row.target;
        case Goal::None:
            break;
    }
    return std::nullopt;
}

std::string ValueText(const Row& row, std::optional<double> value, bool complete) {
    if (!value) return "missing";
    char text[48];
    const double v = *value;
    if (std::abs(v) >= 1000) {
        std::snprintf(text, sizeof text, "%s", GroupedThousands(std::llround(v)).c_str());
    } else if (std::abs(v) >= 10) {
        std::snprintf(text, sizeof text, "%.1f", v);
    } else {
        std::snprintf(text, sizeof text, "%.3g", v);
    }
    std::string shown = text;
    if (*row.unit) shown += std::string(" ") + row.unit;
    if (!complete) shown += " (INCOMPLETE)";
    return shown;
}

std::string JsonNumber(std::optional<double> value) {
    if (!value || !std::isfinite(*value)) return "null";
    char text[48];
    std::snprintf(text, sizeof text, "%.10g", *value);
    return text;
}

std::string JsonString(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

int PrintReport(const char* resultsPath, const char* jsonPath) {
    std::map<std::string, double> results = ReadResults(resultsPath);
    if (results.empty()) {
        std::fprintf(stderr, "no results in %s\n", resultsPath);
        return 1;
    }
    AddDerived(results);

    std::printf("\n%-40s %-26s %-20s %s\n", "Figure", "Value", "Target", "Met");
    std::printf("%s\n", std::string(92, '-').c_str());
    std::string rows;
    for (const Row& row : kRows) {
        const std::optional<double> value = Find(results, row.key);
        const bool complete =
            row.completeKey == nullptr || Find(results, row.completeKey).value_or(0) == 1;
        const std::optional<bool> met = Met(row, value, complete);
        char line[160];
        std::snprintf(line, sizeof line, "%-40s %-26s %-20s %s", row.figure,
                      ValueText(row, value, complete).c_str(), TargetText(row).c_str(),
                      !met   ? ""
                      : *met ? "yes"
                             : "NO");
        std::string shown = line;
        shown.erase(shown.find_last_not_of(' ') + 1);
        std::printf("%s\n", shown.c_str());
        if (!rows.empty()) rows += ",\n";
        std::string figure = row.figure;
        figure.erase(0, figure.find_first_not_of(' '));
        rows += "    {\"figure\": " + JsonString(figure) + ", \"key\": " + JsonString(row.key) +
                ", \"value\": " + JsonNumber(value) + ", \"unit\": " + JsonString(row.unit) +
                ", \"target\": " + JsonString(TargetText(row)) +
                ", \"complete\": " + (complete ? "true" : "false") + ", \"met\": " +
                (!met   ? "null"
                 : *met ? "true"
                        : "false") +
                "}";
    }
    const auto load = [&results](const char* when) {
        return JsonNumber(Find(results, std::string("load_") + when + "_1m"));
    };
    std::printf("\nMachine: %s cores; load average (1 min) %s at the start, %s at the end.\n",
                JsonNumber(Find(results, "cores")).c_str(), load("start").c_str(),
                load("end").c_str());

    std::string details;
    for (const auto& [key, value] : results) {
        if (!details.empty()) details += ",\n";
        details += "    " + JsonString(key) + ": " + JsonNumber(value);
    }
    std::ofstream json(jsonPath);
    json << "{\n  \"table\": [\n" << rows << "\n  ],\n  \"all\": {\n" << details << "\n  }\n}\n";
    json.close();
    if (!json) {
        std::fprintf(stderr, "cannot write %s\n", jsonPath);
        return 1;
    }
    std::printf("Written to %s\n", jsonPath);
    return 0;
}
