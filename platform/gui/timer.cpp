// The timer that raises TimerTick events.
#include "platform/gui/events.h"
#include "platform/gui/gadget.h"
#include "platform/gui/raise_event.h"

Timer* CreateTimer(int32_t rate) {
    if (rate <= 0 || 1000 / rate == 0) return nullptr;
    auto timer = std::make_unique<Timer>();
    Timer* kept = timer.get();
    kept->timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&kept->timer, &QTimer::timeout,
                     [kept] { RaiseEvent(TimerTick, kept, ++kept->ticks); });
    kept->timer.start(1000 / rate);
    return KeepTimer(std::move(timer));
}
