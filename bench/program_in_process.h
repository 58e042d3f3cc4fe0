// The real program inside a benchmark's process: its start-up and its event loop as main()
// runs them, plus what a benchmark needs around them: waiting for the listener to take
// connections, and watching text reach the text area. The window system and the settings
// folder come from the environment that bench/run.sh sets up (offscreen, a scratch folder whose
// settings file asks for a free port). Main thread only, unless a comment says otherwise.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "bench/sender.h"
#include "platform/text.h"

// Prepares the window system and runs OpenMainWindow. Returns the port the listener took, or
// 0 when the window could not be made or no listener came up within a few seconds.
int32_t StartProgram();

// Waits a few seconds at most for the program's listener to listen. Returns its port, or 0
// when none came up. Any thread.
int32_t ListenerPort();

// Waits until the listener has started count connection threads. Any thread. Returns false
// once timeoutMs have passed first.
bool WaitConnectionThreads(size_t count, int32_t timeoutMs);

// Connects count senders (numbered 0 to count - 1) to port one after the other, each once the
// listener has taken the one before, since it accepts one connection per cycle. Returns them
// all, or none when one fails. Any thread.
std::vector<std::unique_ptr<Sender>> ConnectSenders(int32_t port, int count, bool noDelay);

// Takes events and hands each to HandleEvent, as RunEventLoop does, until done() is true after
// an event or timeoutMs have passed. after, when given, runs after each event with its kind.
// Returns done()'s last value.
bool RunEventLoopUntil(const std::function<bool()>& done, int32_t timeoutMs,
                       const std::function<void(int32_t kind)>& after = {});

// From now on calls inserted(position, chars) whenever text is inserted into the text area's
// document, at the moment it is (inside the flush of the gathered appends).
void WatchTextArea(std::function<void(int32_t position, int32_t chars)> inserted);

// The characters of the text area's document from position on, line breaks as line feeds.
Text TextAreaRange(int32_t position, int32_t chars);

// Characters in the text area's document now.
int64_t TextAreaLength();

// Ends the process at once, with status 0, leaving the program's threads as they are.
[[noreturn]] void EndBenchmark();
