// Ending the process and preparing it at start.
#pragma once

// Prepares the process-wide resources that the rest of the platform relies on: raises the
// soft limit of open files to the hard limit (a thousand connections need more than the usual
// 1024 descriptors) and makes a write to a closed socket an error instead of a signal.
// Main thread, once, before any other thread starts.
void InitProcess();

// Ends the process with exit status 0, from any thread, while other threads keep running:
// buffered output is flushed and the handlers registered with std::at_quick_exit run, but no
// static destructor and no std::atexit handler does, so nothing that another thread is still
// using is torn down under it. A second caller while the first is ending just waits for the
// end. Never returns.
[[noreturn]] void EndProcess();
