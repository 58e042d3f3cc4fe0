#include "platform/line_scan.h"

LineScan ScanLine(std::string_view chunk, Text& line, size_t limit) {
    for (size_t i = 0; i < chunk.size(); ++i) {
        const auto byte = static_cast<unsigned char>(chunk[i]);
        if (byte == '\n' || byte == '\0') return {i + 1, true};
        if (byte == '\r') continue;
        line.push_back(static_cast<char16_t>(byte));
        if (line.size() >= limit) return {i + 1, true};
    }
    return {chunk.size(), false};
}
