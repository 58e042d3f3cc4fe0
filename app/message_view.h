// The message view: how a received line is shown, and the commands that act on the text area.
// Main thread only.
#pragma once

#include <cstdint>

#include "platform/text.h"
#include "receiver/incoming.h"

// Tags of the popup menu's items.
constexpr int32_t kCopySelectedTextTag = 1;
constexpr int32_t kServerIpTag = 2;

// At most this many characters of message text are shown per tick; the rest of the queue
// follows on the next ticks, so no single tick keeps the window busy for long. At 100 ticks a
// second that is still over 300,000 lines of 40 bytes a second, while a click waits for at
// most a few such ticks (see BENCHMARKS.md).
constexpr int64_t kDrainChars = 131'072;

// Returns ip, read unsigned, as four decimal numbers joined by ".": 0 gives 0.0.0.0.
Text DottedIp(int32_t ip);

// Returns "[From ", the dotted sender, "]", a tab, the message and a line feed.
Text DisplayLine(const Incoming& record);

// Moves the oldest queued records into the text area, oldest first, one display line each,
// up to kDrainChars of message text, and lets producers waiting for room go on.
void ShowIncoming();

// Returns the machine's own IPv4 address in dotted form, found through the resolver from the
// name of the loopback address; 0.0.0.0 when nothing resolves. Blocks for as long as the
// resolver takes.
Text ServerIP();

// "Clear messages": empties the text area; queued records still appear at the next tick.
void ClearMessages();

// "Copy selected text": puts the text area's selection on the clipboard and focuses the area.
void CopySelectedText();

// "Server IP...": shows ServerIP() in an information box and returns once it is closed.
void ShowServerIP();
