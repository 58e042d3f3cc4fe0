// Pressing a push button as the user's mouse would: a left-button press and release at its
// centre, posted to its widget, so that they wait in the window system's queue like real
// input until the main thread's event loop takes them.
#pragma once

#include "platform/gui/gadgets.h"

// Where to click one button; made on the main thread, used from any.
struct ClickTarget;

// Returns the target of a button that is shown. Main thread only. The target lives until the
// process ends.
const ClickTarget* AimAt(Gadget* button);

// Posts a press and a release at the target. Any thread.
void PostClick(const ClickTarget* target);
