// The notification box: a modal message box with the application title as caption, the text
// as its whole body and one OK button, kept above other windows. An information icon when
// serious is 0, a warning icon otherwise.
#pragma once

#include <cstdint>

#include "platform/text.h"

// Shows the box and returns once the user has closed it. On the main thread the box belongs
// to the main window, which is blocked meanwhile, and the keyboard focus is given back
// afterwards. From any other thread the box is still shown by the main thread, belongs to no
// window, the main window and its event loop keep running, and only the caller blocks.
void Notify(const Text& text, int32_t serious);
