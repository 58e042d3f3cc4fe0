#include "platform/gui/layout.h"

#include <algorithm>

#include "platform/gui/gadgets.h"

namespace {

struct Span {
    int64_t start;
    int64_t end;
};

// One direction of the rule: start and size from the reference, total the reference's parent
// size, now the new one. Works in 64 bits so that no product overflows.
Span PlaceSpan(int32_t startMode, int32_t endMode, int64_t start, int64_t size, int64_t total,
               int64_t now) {
    total = std::max<int64_t>(total, 1);
    now = std::max<int64_t>(now, 1);
    if (startMode == EdgeFree && endMode == EdgeFree) {
        const int64_t from = now * (start + size / 2) / total - size / 2;
        return {from, from + size};
    }
    Span span{0, 0};
    if (startMode == EdgeAligned) span.start = start;
    if (startMode == EdgeRelative) span.start = now * start / total;
    if (endMode == EdgeAligned) span.end = start + size - total + now;
    if (endMode == EdgeRelative) span.end = now * (start + size) / total;
    if (startMode == EdgeFree) span.start = span.end - size;
    if (endMode == EdgeFree) span.end = span.start + size;
    return span;
}

int32_t Extent(const Span& span) {
    return static_cast<int32_t>(std::max<int64_t>(span.end - span.start, 0));
}

}  // namespace

LayoutRect PlaceByEdges(const EdgeLayout& layout, int32_t clientWidth, int32_t clientHeight) {
    const LayoutRect& r = layout.reference;
    const Span h =
        PlaceSpan(layout.left, layout.right, r.x, r.width, layout.referenceWidth, clientWidth);
    const Span v =
        PlaceSpan(layout.top, layout.bottom, r.y, r.height, layout.referenceHeight, clientHeight);
    return {static_cast<int32_t>(h.start), static_cast<int32_t>(v.start), Extent(h), Extent(v)};
}
