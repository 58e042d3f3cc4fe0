// The wire format of a connection, said as simply as it can be, to check the reader against:
// one byte at a time, LF and NUL end a line, CR is dropped, a line that reaches the bound ends
// there, and the end of the bytes ends the last line.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/text.h"

// One line as the reader hands it over, empty ones included.
struct ModelLine {
    Text text;
    size_t end = 0;  // Offset just past the byte that ended the line (or the end of the bytes).
};

// Returns every line of bytes under the bound limit. The bytes after the last terminator are a
// line of their own when there is at least one of them, even if it is empty once CRs go.
std::vector<ModelLine> ModelLines(std::string_view bytes, size_t limit);
