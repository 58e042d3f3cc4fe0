#include "platform/gui/testing/drive.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>
#include <QTimer>

#include "platform/gui/qt_text.h"
#include "platform/gui/testing/qt_access.h"

namespace {

constexpr int kPopupDeadlineMs = 2000;

}  // namespace

void ClickButton(Gadget* button) { QTest::mouseClick(GadgetWidget(button), Qt::LeftButton); }

void RightClickTextArea(Gadget* textArea, int32_t x, int32_t y) {
    QWidget* viewport = TextAreaEditor(textArea)->viewport();
    QTest::mousePress(viewport, Qt::RightButton, {}, QPoint(x, y));
    QTest::mouseRelease(viewport, Qt::RightButton, {}, QPoint(x, y));
}

void SelectText(Gadget* textArea, int32_t position, int32_t length) {
    QPlainTextEdit* editor = TextAreaEditor(textArea);
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(position);
    cursor.setPosition(position + length, QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);
}

Text SelectedText(Gadget* textArea) {
    return ToText(TextAreaEditor(textArea)->textCursor().selectedText());
}

void SetClipboardText(const Text& text) { QGuiApplication::clipboard()->setText(ToQString(text)); }

Text ClipboardText() { return ToText(QGuiApplication::clipboard()->text()); }

void ChooseInNextPopup(int32_t index) {
    QTimer::singleShot(0, [index] {
        QMenu* menu = nullptr;
        const bool shown = QTest::qWaitFor(
            [&] { return (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())); },
            kPopupDeadlineMs);
        if (!shown) return;
        if (index >= 0 && index < menu->actions().size()) {
            QAction* entry = menu->actions().at(index);
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
        }
        QTimer::singleShot(kPopupDeadlineMs, [] {
            if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        });
    });
}
