// Push buttons.
#include <QPushButton>

#include "platform/gui/events.h"
#include "platform/gui/gadget.h"
#include "platform/gui/qt_text.h"
#include "platform/gui/raise_event.h"

Gadget* CreateButton(const Text& label, int32_t x, int32_t y, int32_t width, int32_t height,
                     Gadget* parent) {
    QWidget* area = ClientArea(parent);
    if (!area) return nullptr;
    auto gadget = std::make_unique<Gadget>();
    gadget->kind = GadgetKind::Button;
    gadget->parent = parent;
    auto* button = new QPushButton(ToQString(label), area);  // Owned by its parent widget.
    button->setAccessibleName(button->text());
    button->setGeometry(x, y, std::max(width, 0), std::max(height, 0));
    button->show();
    gadget->widget = button;
    Gadget* kept = KeepGadget(std::move(gadget));
    // clicked() comes from a mouse release over the button and from the keyboard alike.
    QObject::connect(button, &QPushButton::clicked, [kept] { RaiseEvent(GadgetAction, kept, 0); });
    return kept;
}
