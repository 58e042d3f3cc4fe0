#include "fuzz/line_model.h"

std::vector<ModelLine> ModelLines(std::string_view bytes, size_t limit) {
    std::vector<ModelLine> lines;
    ModelLine current;
    size_t start = 0;  // Where the current line began.
    for (size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(bytes[i]);
        const bool terminator = byte == 0x0A || byte == 0x00;
        if (!terminator && byte != 0x0D) current.text.push_back(static_cast<char16_t>(byte));
        if (terminator || current.text.size() == limit) {
            current.end = i + 1;
            lines.push_back(std::move(current));
            current = ModelLine();
            start = i + 1;
        }
    }
    if (start < bytes.size()) {
        current.end = bytes.size();
        lines.push_back(std::move(current));
    }
    return lines;
}
