#include "platform/gui/event_queue.h"

#include "platform/gui/events.h"

namespace {

// Kinds of which at most one per source waits: repeating them carries no news, only newer data.
bool Merges(int32_t id) {
    return id == TimerTick || id == GadgetAction || id == WindowMove || id == WindowSize;
}

}  // namespace

void EventQueue::Post(const Event& event) {
    if (Merges(event.id)) {
        for (Event& waiting : events_) {
            if (waiting.id == event.id && waiting.source == event.source) {
                waiting = event;
                return;
            }
        }
    }
    if (events_.size() >= kEventQueueLimit) return;
    events_.push_back(event);
}

std::optional<Event> EventQueue::Take() {
    if (events_.empty()) return std::nullopt;
    Event oldest = events_.front();
    events_.pop_front();
    return oldest;
}
