// Changing and copying the text of a text area. Main thread only.
//
// The area holds at most 4,194,304 characters, a line break counting as one. An append that
// would pass that removes the oldest whole lines first, down to about 7/8 of the limit so that
// it happens seldom, and the newest text always shows. While the view is scrolled to the end
// it follows the new text; while the user has scrolled up to read, it keeps its place.
//
// In a read-only area the arrow keys, Home, End, Page Up and Page Down, with any of Shift and
// Ctrl, move the caret and select; Ctrl+A selects all and Ctrl+C copies; every other key
// press and every typed character is swallowed, Tab included. A right-button press places the
// caret at the pointer unless text is selected, and the selection stays highlighted while the
// area has no focus. Text cannot be dragged out of it or dropped into it.
#pragma once

#include <cstdint>

#include "platform/gui/gadgets.h"
#include "platform/text.h"

constexpr int32_t kTextAreaLimit = 4'194'304;

// Appends text at the very end, then puts the caret at the new end with nothing selected.
// Appends made one after another without a return to the event loop may reach the widget as
// one insert; whatever reads the area sees them all in order.
void AddText(Gadget* textArea, const Text& text);

// Replaces length characters from position by text and puts the caret after it. Units 1
// counts characters, the only unit there is; any other does nothing. A negative length means
// up to the end; position and length are clipped to the text, and text to what the limit
// leaves. Replacing from 0 with length -1 by empty text empties the area and puts the caret at
// its start.
void ReplaceText(Gadget* textArea, int32_t position, int32_t length, const Text& text,
                 int32_t units);

// Puts exactly the selected characters on the clipboard as plain text, line breaks as line
// feeds, and gives the area the keyboard focus. With nothing selected the clipboard keeps what
// it had.
void CopyTextSelection(Gadget* textArea);

// Returns the whole text of the area, line breaks as line feeds.
Text TextAreaText(Gadget* textArea);
