// For tests only: the Qt widgets behind gadgets, so that a test can drive them with QTest.
#pragma once

#include <QPlainTextEdit>
#include <QWidget>

#include "platform/gui/gadget.h"
#include "platform/gui/message_view.h"

// The widget of a gadget: a window's top-level widget, a text area's editor, a button.
inline QWidget* GadgetWidget(Gadget* gadget) { return gadget ? gadget->widget : nullptr; }

// The widget that holds a window's gadgets, below its menu bar.
inline QWidget* WindowClient(Gadget* window) { return ClientArea(window); }

// A text area's editor, with every append made so far already in it. Mouse events go to its
// viewport().
inline QPlainTextEdit* TextAreaEditor(Gadget* textArea) {
    if (!textArea || textArea->kind != GadgetKind::TextArea) return nullptr;
    auto* view = static_cast<MessageView*>(textArea->widget);
    view->Flush();
    return view;
}
