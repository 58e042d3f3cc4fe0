// The queue of waiting events: first in, first out, at most kEventQueueLimit events.
//
// An event raised while the queue is full is lost. A TimerTick, GadgetAction, WindowMove or
// WindowSize raised while an event of the same kind from the same source is still waiting does
// not join the queue: it overwrites that event's data, and that event keeps its place, so a
// burst of ticks or presses leaves one event behind. Plain C++; the owner decides the thread
// (the window layer keeps one queue for the main thread).
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>

constexpr size_t kEventQueueLimit = 256;

struct Event {
    int32_t id = 0;
    const void* source = nullptr;
    int32_t data = 0;
};

class EventQueue {
  public:
    // Adds event at the tail, merges it into a waiting one (see above), or drops it when
    // kEventQueueLimit events are waiting.
    void Post(const Event& event);

    // Removes and returns the oldest event; nothing when the queue is empty.
    std::optional<Event> Take();

    size_t Size() const { return events_.size(); }

  private:
    std::deque<Event> events_;
};
