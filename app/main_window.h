// The main thread's window objects, made by start-up and kept until the process ends. Only the
// main thread touches them.
#pragma once

#include "platform/gui/gadgets.h"
#include "platform/thread.h"

extern Gadget* window;         // The main window; null until start-up made it.
extern Gadget* textArea;       // The message view.
extern Gadget* clearButton;    // "Clear messages".
extern Gadget* exitButton;     // "Exit".
extern Gadget* clipboardMenu;  // The popup menu of the message view.
extern Thread* serverThread;   // The listener thread.
