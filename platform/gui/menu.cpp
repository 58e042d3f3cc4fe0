// Menus made of entries, shown as popup menus at the mouse pointer.
#include <QCursor>
#include <QMenu>

#include "platform/gui/events.h"
#include "platform/gui/gadget.h"
#include "platform/gui/qt_text.h"
#include "platform/gui/raise_event.h"

Gadget* CreateMenu(const Text& text, int32_t tag, Gadget* parent) {
    if (parent && parent->kind != GadgetKind::Menu) return nullptr;
    auto gadget = std::make_unique<Gadget>();
    gadget->kind = GadgetKind::Menu;
    gadget->parent = parent;
    gadget->text = ToQString(text);
    gadget->tag = tag;
    return KeepGadget(std::move(gadget));
}

void PopupWindowMenu(Gadget* window, Gadget* menu) {
    if (!menu || menu->kind != GadgetKind::Menu) return;
    FlushAllTextAreas();
    // Built afresh for each showing and gone when it closes.
    QMenu popup(window ? window->widget : nullptr);
    for (Gadget* entry : menu->children) {
        QAction* action = popup.addAction(entry->text);
        action->setData(QVariant::fromValue(static_cast<void*>(entry)));
    }
    const QAction* chosen = popup.exec(QCursor::pos());
    if (!chosen) return;
    const Gadget* entry = static_cast<const Gadget*>(chosen->data().value<void*>());
    RaiseEvent(MenuAction, entry, entry->tag);
}
