#include "platform/gui/events.h"

#include <QCoreApplication>
#include <QEvent>

#include "platform/gui/event_queue.h"
#include "platform/gui/gadget.h"
#include "platform/gui/raise_event.h"

namespace {

// The main thread's queue and the event it took last; only the main thread touches them.
EventQueue mainQueue;
Event current;

}  // namespace

void RaiseEvent(int32_t id, const void* source, int32_t data) {
    mainQueue.Post({id, source, data});
}

size_t WaitingEvents() { return mainQueue.Size(); }

int32_t WaitEvent() {
    std::optional<Event> next;
    while (!(next = mainQueue.Take())) {
        FlushAllTextAreas();
        // Blocks in the window system's own wait when nothing is pending.
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        // Qt deletes objects scheduled with deleteLater() only from an event loop; this is ours.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    current = *next;
    return current.id;
}

const void* EventSource() { return current.source; }

int32_t EventData() { return current.data; }
