// For tests only: acting on gadgets as a user would, for tests outside the window layer that
// must not see Qt. Main thread only.
#pragma once

#include <cstdint>

#include "platform/gui/gadgets.h"
#include "platform/text.h"

// Clicks a push button with the left mouse button.
void ClickButton(Gadget* button);

// Presses and releases the right mouse button at x, y of a text area.
void RightClickTextArea(Gadget* textArea, int32_t x, int32_t y);

// Selects length characters of a text area from position.
void SelectText(Gadget* textArea, int32_t position, int32_t length);

// Returns the characters a text area has selected.
Text SelectedText(Gadget* textArea);

// Puts text on the clipboard, and returns what the clipboard holds.
void SetClipboardText(const Text& text);
Text ClipboardText();

// Once the next popup menu has opened, chooses its entry at index (0 first); gives up after a
// deadline, closing the menu.
void ChooseInNextPopup(int32_t index);
