// Changing and copying the text of a text area. Main thread only.
//
// The area holds at most 4,194,304 characters. An append beyond that removes the oldest whole
// lines first, so the newest text always shows. While the view is scrolled to the end it
// follows the new text; while the user has scrolled up to read, it keeps its place.
#pragma once

#include <cstdint>

#include "platform/gui/gadgets.h"
#include "platform/text.h"

constexpr int32_t kTextAreaLimit = 4'194'304;

// Appends text at the very end, then puts the caret at the new end with nothing selected.
// Appends made one after another without a return to the event loop may reach the widget as
// one insert; whatever reads the area sees them all in order.
void AddText(Gadget* textArea, const Text& text);

// Replaces length characters from position by text (units 1: characters). A negative length
// means up to the end. Replacing from 0 with length -1 by empty text empties the area and
// puts the caret at its start.
void ReplaceText(Gadget* textArea, int32_t position, int32_t length, const Text& text,
                 int32_t units);

// Puts exactly the selected characters on the clipboard and gives the area the keyboard focus.
// With nothing selected the clipboard keeps what it had.
void CopyTextSelection(Gadget* textArea);

// Returns the whole text of the area.
Text TextAreaText(Gadget* textArea);
