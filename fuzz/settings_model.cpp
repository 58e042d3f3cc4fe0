#include "fuzz/settings_model.h"

#include <string>

namespace {

bool IsBlank(unsigned char byte) { return byte == ' ' || (byte >= 9 && byte <= 13); }

// The value of byte as a digit of base, or -1.
int DigitOf(unsigned char byte, int base) {
    int value = -1;
    if (byte >= '0' && byte <= '9') value = byte - '0';
    if (byte >= 'a' && byte <= 'f') value = byte - 'a' + 10;
    if (byte >= 'A' && byte <= 'F') value = byte - 'A' + 10;
    return value < base ? value : -1;
}

}  // namespace

int32_t ModelNumber(std::string_view line) {
    size_t i = 0;
    while (i < line.size() && IsBlank(static_cast<unsigned char>(line[i]))) ++i;
    int sign = 1;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) sign = line[i++] == '-' ? -1 : 1;
    int base = 10;
    if (i < line.size() && line[i] == '$') {
        base = 16;
        ++i;
    } else if (i < line.size() && line[i] == '%') {
        base = 2;
        ++i;
    }
    constexpr uint64_t kModulus = uint64_t{1} << 32;
    uint64_t value = 0;
    for (; i < line.size(); ++i) {
        const int digit = DigitOf(static_cast<unsigned char>(line[i]), base);
        if (digit < 0) break;
        value = (value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit)) % kModulus;
    }
    if (sign < 0) value = (kModulus - value) % kModulus;
    const int64_t wrapped = value >= kModulus / 2 ? static_cast<int64_t>(value) - (1LL << 32)
                                                  : static_cast<int64_t>(value);
    return static_cast<int32_t>(wrapped);
}

ModelSettings ModelFile(std::string_view bytes) {
    ModelSettings numbers{};
    size_t at = 0;
    for (int32_t& number : numbers) {
        std::string line;
        while (at < bytes.size()) {
            const char byte = bytes[at++];
            if (byte == '\n' || byte == '\0') break;
            if (byte != '\r') line.push_back(byte);
        }
        number = ModelNumber(line);
    }
    return numbers;
}
