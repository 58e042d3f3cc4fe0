#include "settings/settings_number.h"

namespace {

bool IsSpace(char16_t c) { return c == u' ' || (c >= 9 && c <= 13); }

// Returns the value of c as a digit, or -1 when it is none in any base.
int32_t DigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    return -1;
}

}  // namespace

int32_t NumberFromText(const Text& text) {
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    uint32_t base = 10;
    if (i < text.size() && text[i] == u'$') {
        base = 16;
        ++i;
    } else if (i < text.size() && text[i] == u'%') {
        base = 2;
        ++i;
    }
    // Unsigned arithmetic, so that overflow wraps instead of being undefined.
    uint32_t value = 0;
    for (; i < text.size(); ++i) {
        const int32_t digit = DigitValue(text[i]);
        if (digit < 0 || static_cast<uint32_t>(digit) >= base) break;
        value = value * base + static_cast<uint32_t>(digit);
    }
    if (negative) value = 0u - value;
    return static_cast<int32_t>(value);
}
