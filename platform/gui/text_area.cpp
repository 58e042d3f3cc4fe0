// Text areas: creation and the operations on their text.
#include "platform/gui/text_area.h"

#include "platform/gui/gadget.h"
#include "platform/gui/message_view.h"
#include "platform/gui/qt_text.h"

namespace {

MessageView* AsView(Gadget* gadget) {
    if (!gadget || gadget->kind != GadgetKind::TextArea) return nullptr;
    return static_cast<MessageView*>(gadget->widget);
}

}  // namespace

Gadget* CreateTextArea(int32_t x, int32_t y, int32_t width, int32_t height, Gadget* parent,
                       int32_t style) {
    QWidget* area = ClientArea(parent);
    if (!area) return nullptr;
    auto gadget = std::make_unique<Gadget>();
    gadget->kind = GadgetKind::TextArea;
    gadget->parent = parent;
    // Owned by its parent widget.
    auto* view = new MessageView(gadget.get(), (style & TextAreaWordWrap) != 0,
                                 (style & TextAreaReadOnly) != 0, area);
    view->setAccessibleName(QStringLiteral("Messages"));
    view->setGeometry(x, y, std::max(width, 0), std::max(height, 0));
    view->show();
    gadget->widget = view;
    return KeepGadget(std::move(gadget));
}

void AddText(Gadget* textArea, const Text& text) {
    if (MessageView* view = AsView(textArea)) view->Append(ToQString(text));
}

void ReplaceText(Gadget* textArea, int32_t position, int32_t length, const Text& text,
                 int32_t units) {
    MessageView* view = AsView(textArea);
    if (!view || units != 1) return;
    view->Replace(position, length, ToQString(text));
}

void CopyTextSelection(Gadget* textArea) {
    if (MessageView* view = AsView(textArea)) view->CopySelection();
}

Text TextAreaText(Gadget* textArea) {
    MessageView* view = AsView(textArea);
    return view ? ToText(view->AllText()) : Text();
}
