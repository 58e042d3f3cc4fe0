// harkenwire_bench STAGE RESULTS [ARGUMENT]: runs one stage of the benchmarks (stages.h) and
// appends its figures to the file RESULTS; harkenwire_bench report RESULTS JSON prints the
// table of a whole run and writes it as JSON. bench/run.sh runs them all.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/report.h"
#include "bench/results.h"
#include "bench/stages.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s STAGE RESULTS [ARGUMENT] | report RESULTS JSON\n", argv[0]);
        return 2;
    }
    const std::string stage = argv[1];
    const char* argument = argc > 3 ? argv[3] : "";
    if (stage == "report") return argc > 3 ? PrintReport(argv[2], argv[3]) : 2;
    SetResultsFile(argv[2]);
    if (stage == "throughput") return ThroughputStage(std::atoi(argument));
    if (stage == "display-limit") return DisplayLimitStage();
    if (stage == "network-limit") return NetworkLimitStage();
    if (stage == "latency") return LatencyStage();
    if (stage == "responsiveness") return ResponsivenessStage();
    if (stage == "memory") return MemoryStage(std::atoi(argument));
    if (stage == "program") return ProgramStage(argument);
    std::fprintf(stderr, "unknown stage %s\n", stage.c_str());
    return 2;
}
