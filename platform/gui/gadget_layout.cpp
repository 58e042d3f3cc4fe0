// Edge modes and the rectangles of gadgets inside a window.
#include <algorithm>

#include "platform/gui/gadget.h"

namespace {

LayoutRect RectOf(const QWidget& widget) {
    const QRect r = widget.geometry();
    return {r.x(), r.y(), r.width(), r.height()};
}

}  // namespace

void SetLayout(Gadget* gadget, int32_t left, int32_t right, int32_t top, int32_t bottom) {
    if (!gadget || !gadget->widget || gadget->kind == GadgetKind::Window) return;
    const QWidget* area = ClientArea(gadget->parent);
    gadget->layout = EdgeLayout{left,
                                right,
                                top,
                                bottom,
                                RectOf(*gadget->widget),
                                std::max(area ? area->width() : 0, 1),
                                std::max(area ? area->height() : 0, 1)};
}

void PlaceChildren(Gadget* window) {
    const QWidget* area = ClientArea(window);
    for (Gadget* child : window->children) {
        if (!child->layout) continue;
        const LayoutRect r = PlaceByEdges(*child->layout, area->width(), area->height());
        child->widget->setGeometry(r.x, r.y, r.width, r.height);
    }
}

int32_t GadgetX(Gadget* gadget) { return gadget && gadget->widget ? gadget->widget->x() : 0; }

int32_t GadgetY(Gadget* gadget) { return gadget && gadget->widget ? gadget->widget->y() : 0; }

int32_t GadgetWidth(Gadget* gadget) {
    return gadget && gadget->widget ? gadget->widget->width() : 0;
}

int32_t GadgetHeight(Gadget* gadget) {
    return gadget && gadget->widget ? gadget->widget->height() : 0;
}
