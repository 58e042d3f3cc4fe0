// Splitting received bytes into lines, without any socket: the step that the stream's
// ReadLine repeats over each chunk it has received, kept apart so that any chunking of any
// bytes can be driven through it directly.
//
// The rules: the byte 0x0A (line feed) and the byte 0x00 each end a line and are not part of
// it; the byte 0x0D (carriage return) is dropped wherever it stands; every other byte becomes
// one character of the same code (ISO-8859-1). A line that reaches the length bound ends there
// as if a terminator followed, and the bytes after it begin the next line.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/text.h"

// The longest line, in characters, before it is cut: a peer that never sends a terminator
// cannot make a reader hold more than this.
constexpr size_t kLineLimit = 1'048'576;

// What ScanLine made of one chunk.
struct LineScan {
    size_t consumed = 0;  // Bytes of the chunk that belong to the line, its terminator included.
    bool ended = false;   // Whether the line ended within them (a terminator or the bound).
};

// Appends to line the characters of the chunk's bytes up to the end of the current line, and
// returns how many bytes that took and whether the line ended. When it did not end, the whole
// chunk was consumed and the next chunk continues the same line. limit must be at least 1 and
// more than line's length on entry. Any thread; never fails.
LineScan ScanLine(std::string_view chunk, Text& line, size_t limit = kLineLimit);
