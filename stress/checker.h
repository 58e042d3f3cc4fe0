// The checker of the stress driver: every line that a stress peer sends is registered here, and
// what the text area holds is read back, drain by drain, and matched against it. It proves
// that every line arrived exactly once, each sender's lines in their order, tagged with the
// address the sender connected from.
//
// A numbered line is "<sender>:<sequence>:<padding>", the padding a function of both, so a
// line that was cut, merged or changed is caught. Some senders send other kinds of lines (one
// very long line, every byte value); see SenderKind.
//
// Senders are made before any peer thread starts (the table does not move). Peer threads only
// touch the atomic counters of their own sender; everything else is the main thread's.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/text.h"

enum class SenderKind {
    Numbered,  // Lines "<id>:<seq>:<padding>", shown in order, each once.
    Bulk,      // Bytes without a line feed: shown as pieces of the line bound, nothing lost.
    Exact,     // A fixed list of lines, compared character for character.
};

struct Sender {
    int32_t id = 0;
    uint32_t ip = 0;  // The loopback address the sender connects from.
    SenderKind kind = SenderKind::Numbered;

    // Written by the sender's peer thread.
    std::atomic<int64_t> sent{0};           // Lines (Bulk: bytes) handed to the socket.
    std::atomic<int64_t> optionalFrom{-1};  // Numbered: lines from this one on may be missing
                                            // (the peer reset before they could be read).

    // The main thread's.
    std::atomic<int64_t> shown{0};  // Lines (Bulk: characters) read back; peers may wait on it.
    int64_t pieces = 0;             // Bulk: pieces shown.
    bool shortPieceSeen = false;    // Bulk: a piece shorter than the bound came (the last one).
    std::vector<Text> expected;     // Exact: the lines to come, in order.
};

// Returns the line that sender id sends as its number seq, without the line feed.
std::string NumberedLine(int32_t id, int64_t seq);

// Returns the loopback address that sender id connects from: 127.0.0.2 to 127.0.0.201, so
// that neighbouring senders differ and the tag can be checked.
uint32_t SenderIp(int32_t id);

// Makes count more senders of kind and returns the id of the first. Main thread, before the
// peers start.
int32_t AddSenders(int32_t count, SenderKind kind);

// Returns the sender of id. Any thread.
Sender& SenderOf(int32_t id);

// Reads back the whole text area, matches every line, then empties the area. Main thread.
void CheckTextArea();

struct CheckTotals {
    int64_t sent = 0;    // Lines sent (a bulk sender's pieces counted as the pieces due).
    int64_t shown = 0;   // Lines read back and matched.
    int64_t lost = 0;    // Lines sent and never shown (optional ones left out).
    int64_t errors = 0;  // Lines out of order, twice, changed, or under a wrong address.
    std::string firstError;
};

// Sums up every sender, as the check stands now. Main thread.
CheckTotals Totals();

// Returns whether every line sent has been shown (optional ones aside). Main thread.
bool AllShown();
