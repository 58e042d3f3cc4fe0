// Text as the program sees it: a sequence of 16-bit characters. Bytes that come from the
// network or from the settings file become characters one for one (ISO-8859-1), so a byte
// of value v is the character of code v.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

using Text = std::u16string;

// Returns value in plain decimal: "-" before a negative number, no "+", no leading zeros.
Text IntText(int32_t value);

// Returns one character per byte, each with the byte's value (0 to 255).
Text Latin1Text(std::string_view bytes);

// Returns the low 8 bits of each character, one byte each.
std::string Latin1Bytes(const Text& text);
