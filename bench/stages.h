// The stages of a benchmark run. bench/run.sh starts each in a process of its own, since the
// program under test starts once per process; each records its figures (results.h) and
// returns the process's exit status. Main thread only.
#pragma once

#include <cstdint>

// Lines in all per end-to-end run and per limit run.
constexpr uint64_t kTotalLines = 2'000'000;

// End-to-end throughput, the given number of senders sharing kTotalLines lines (keys
// "e2e_<clients>_...").
int ThroughputStage(int clients);

// The text area's own append rate, with no network ("display_limit").
int DisplayLimitStage();

// The readers' receive rate with no display, 8 senders ("network_limit").
int NetworkLimitStage();

// Append latency at 1,000 lines a second from 8 senders ("latency").
int LatencyStage();

// How long a button press waits while 8 senders flood ("press").
int ResponsivenessStage();

// Resident memory idle, at the text area's cap and through a flood of floodSeconds ("rss").
int MemoryStage(int32_t floodSeconds);

// The real binary and a probe built like it, as child processes: idle CPU, start-up to first
// paint, and "Exit" to process end. bin is the build folder (app/harkenwire, bench/...).
int ProgramStage(const char* bin);
