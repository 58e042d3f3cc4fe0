// The figures a stress scenario prints besides its lines: resident memory and the longest
// stall of the event loop, plus free-form notes from the scenario. Any thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Returns the process's resident memory now (VmRSS), or its peak so far (VmHWM), in KiB; 0
// when it cannot be read.
int64_t ResidentKiB();
int64_t PeakResidentKiB();

// Adds a note ("open at once: 1000") to the scenario's figures.
void AddNote(const std::string& note);

// Returns the notes added so far, in their order.
std::vector<std::string> Notes();
