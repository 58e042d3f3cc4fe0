#include "platform/text.h"

Text IntText(int32_t value) {
    // Work in 64 bits so that the most negative value has a magnitude.
    int64_t magnitude = value;
    const bool negative = magnitude < 0;
    if (negative) magnitude = -magnitude;
    char16_t digits[12];
    int count = 0;
    do {
        digits[count++] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0);
    Text text;
    text.reserve(count + 1);
    if (negative) text.push_back(u'-');
    while (count > 0) text.push_back(digits[--count]);
    return text;
}

Text Latin1Text(std::string_view bytes) {
    Text text(bytes.size(), u'\0');
    for (size_t i = 0; i < bytes.size(); ++i) {
        text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]));
    }
    return text;
}

std::string Latin1Bytes(const Text& text) {
    std::string bytes(text.size(), '\0');
    for (size_t i = 0; i < text.size(); ++i) bytes[i] = static_cast<char>(text[i] & 0xFF);
    return bytes;
}
