// The incoming queue: lines received by the connection threads and not yet shown by the main
// thread, oldest first.
//
// The queue holds records costing at most kIncomingBudget in all (a line longer than that still
// goes into an empty queue). A record costs its characters plus kIncomingRecordCost, so a flood
// of very short lines is bounded in memory as well as a flood of long ones. A producer whose line
// does not fit waits, holding no lock, until a drain makes room, so a flood slows its senders
// through TCP flow control instead of growing without bound. Once the quit flag is set nobody shows
// the queue any more, and a producer that would wait drops its line instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

#include "platform/text.h"
#include "platform/thread.h"

// One received line and its sender.
struct Incoming {
    int32_t ip = 0;  // IPv4 address of the sender, first octet in the top byte; 0 if unknown.
    Text message;    // Never empty; never holds the characters 0, 10 or 13.
};

constexpr int64_t kIncomingBudget = 4'194'304;  // Characters: 8 MiB of 16-bit text.
// About what a queued record and its string take beyond the text, in 16-bit characters.
constexpr int64_t kIncomingRecordCost = 32;

// What one record with a message of `length` characters costs against the budget.
constexpr int64_t IncomingCost(size_t length) {
    return static_cast<int64_t>(length) + kIncomingRecordCost;
}

// incomingMutex guards incomingList, incomingCost and the waiting on incomingRoom.
extern Mutex* incomingMutex;
extern std::deque<Incoming> incomingList;
extern int64_t incomingCost;     // Sum of IncomingCost over the records in incomingList.
extern Condition* incomingRoom;  // Signalled after a drain removed records.

// Creates incomingMutex and incomingRoom. Main thread, once, before any producer starts.
void CreateIncoming();

// Appends one record to the tail of the queue, waiting for room first when the queue is full
// (see above). Any thread but the main thread; never fails.
void AddIncoming(int32_t ip, Text message);

// Tells the producers that a drain removed records. The caller holds incomingMutex.
void IncomingDrained();
