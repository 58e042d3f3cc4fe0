// The report of a whole benchmark run: one table of every figure with its target and whether
// it is met, printed and written as JSON. Main thread only.
#pragma once

// Reads the results file, prints the table and writes it to jsonPath. Returns 0, or 1 when
// the results cannot be read or the JSON cannot be written.
int PrintReport(const char* resultsPath, const char* jsonPath);
