// The edge-mode layout rule: where a gadget goes when its parent's client area takes a new
// size. Pure arithmetic, any thread.
//
// Each of a gadget's four edges is free, aligned or relative (EdgeMode). Its reference is its
// rectangle and the parent's client size when the modes were set. Horizontally, with W' the new
// client width and x0, w0, W0 from the reference (W' and W0 taken as at least 1):
//   left:  aligned x0; relative W' * x0 / W0
//   right: aligned x0 + w0 - W0 + W'; relative W' * (x0 + w0) / W0
//   one edge free: it keeps the width w0 from the other edge;
//   both free: left = W' * (x0 + w0 / 2) / W0 - w0 / 2 and right = left + w0.
// Division truncates toward zero. Vertically the same with top, bottom, y0, h0 and H0. A
// negative width or height becomes 0.
#pragma once

#include <cstdint>

struct LayoutRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;

    bool operator==(const LayoutRect&) const = default;
};

struct EdgeLayout {
    int32_t left = 0;  // EdgeMode of each edge.
    int32_t right = 0;
    int32_t top = 0;
    int32_t bottom = 0;
    LayoutRect reference;        // The gadget's rectangle when the modes were set.
    int32_t referenceWidth = 1;  // The parent's client size then.
    int32_t referenceHeight = 1;
};

// Returns the gadget's rectangle for a client area of clientWidth x clientHeight.
LayoutRect PlaceByEdges(const EdgeLayout& layout, int32_t clientWidth, int32_t clientHeight);
