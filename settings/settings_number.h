// The number rules of the settings file: how one line becomes a 32-bit signed integer. Pure;
// any thread.
#pragma once

#include <cstdint>

#include "platform/text.h"

// Returns the integer at the start of text: white space (codes 9 to 13 and 32) skipped, one
// optional "+" or "-", then hexadecimal digits after "$", binary digits after "%", decimal
// digits otherwise, up to the first character that is not a digit of that base. The value
// wraps around in 32 bits; "-" negates it. Returns 0 when there is no digit. Never fails.
int32_t NumberFromText(const Text& text);
