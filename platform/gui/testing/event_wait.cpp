#include "platform/gui/testing/event_wait.h"

#include <QDeadlineTimer>
#include <QTimer>

#include "platform/gui/events.h"
#include "platform/gui/raise_event.h"

namespace {

// A kind that nothing else raises, for the event that marks a deadline. Its data tells which
// wait it belongs to, so that the mark of a wait that ended earlier is skipped.
constexpr int32_t kDeadline = 0x7EAD0001;
int32_t waits = 0;

}  // namespace

int32_t WaitEventWithin(int32_t ms) {
    const int32_t wait = ++waits;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [wait] { RaiseEvent(kDeadline, &waits, wait); });
    deadline.start(ms);
    for (;;) {
        const int32_t id = WaitEvent();
        if (id != kDeadline) return id;
        if (EventData() == wait) return 0;
    }
}

int32_t WaitEventOfKind(int32_t kind, int32_t ms, const void* source) {
    QDeadlineTimer deadline(ms);
    for (;;) {
        const int32_t id = WaitEventWithin(static_cast<int32_t>(deadline.remainingTime()));
        if (id == 0) return 0;
        if (id == kind && (!source || EventSource() == source)) return id;
    }
}

void DropEvents() {
    while (WaitEventWithin(0) != 0) {
    }
}
