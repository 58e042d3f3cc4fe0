#include "app/shutdown.h"

#include "app/main_window.h"
#include "platform/clock.h"
#include "platform/gui/events.h"
#include "platform/gui/text_area.h"
#include "platform/process.h"
#include "receiver/quit_flag.h"
#include "settings/settings.h"

void Shutdown() {
    AddText(textArea, u"\n");
    AddText(textArea, u"Exiting...");
    AddText(textArea, u"\n");

    const uint32_t start = MilliSecs();
    QuitFlag(1);
    // The events taken here keep the window painted and responsive; none is acted on. The timer
    // keeps ticking, so each wait ends within about one tick.
    while (serverThread != nullptr && ThreadRunning(serverThread)) {
        WaitEvent();
        if (MilliSecs() - start > kExitWaitMs) break;
    }

    SaveSettings();
    EndProcess();
}
