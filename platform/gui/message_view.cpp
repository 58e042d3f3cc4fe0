#include "platform/gui/message_view.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <algorithm>

#include "platform/gui/events.h"
#include "platform/gui/raise_event.h"
#include "platform/gui/text_area.h"

namespace {

// Once the text would pass the limit, it is cut down to this, so that the next cut is far off.
constexpr qsizetype kTrimmedLength = kTextAreaLimit / 8 * 7;

// Wrapping at word boundaries measures the rest of an unbroken run again for every screen line
// that the run fills, so one line of a million letters kept the window busy for minutes, while
// wrapping anywhere lays it out in a fraction of a second. Text with a longer run than this
// makes the area wrap anywhere until it is emptied.
constexpr qsizetype kLongestWordWrappedRun = 8192;

// Returns whether text holds more than kLongestWordWrappedRun characters without white space.
bool HasLongRun(const QString& text) {
    qsizetype run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > kLongestWordWrappedRun) return true;
    }
    return false;
}

// The key table of a read-only area: whether a key press may reach the editor.
bool ReachesEditor(const QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    switch (key.key()) {
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_End:
        case Qt::Key_Home:
        case Qt::Key_Left:
        case Qt::Key_Up:
        case Qt::Key_Right:
        case Qt::Key_Down:
            return (modifiers & ~(Qt::ShiftModifier | Qt::ControlModifier)) == 0;
        case Qt::Key_A:
        case Qt::Key_C:
            return modifiers == Qt::ControlModifier;
        default:
            return false;
    }
}

// The start of the first whole line at or after index: index itself when a line starts there.
qsizetype LineStartFrom(const QString& text, qsizetype index) {
    if (index <= 0) return 0;
    const qsizetype newline = text.indexOf(QLatin1Char('\n'), index - 1);
    return newline < 0 ? text.size() : newline + 1;
}

}  // namespace

MessageView::MessageView(Gadget* gadget, bool wordWrap, bool readOnly, QWidget* parent)
    : QPlainTextEdit(parent), gadget_(gadget), readOnly_(readOnly) {
    // An undo stack is kept even for a read-only editor and would grow with every append.
    setUndoRedoEnabled(false);
    setLineWrapMode(wordWrap ? WidgetWidth : NoWrap);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(wordWrap ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    if (readOnly) {
        setReadOnly(true);
        // A caret, so that the keyboard can select as well as the mouse.
        setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);
    // The selection stays visible while, for instance, a popup menu has the focus.
    QPalette colours = palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    }
    setPalette(colours);
    connect(this, &QPlainTextEdit::cursorPositionChanged,
            [gadget] { RaiseEvent(GadgetSelect, gadget, 0); });
}

qsizetype MessageView::Length() const { return document()->characterCount() - 1; }

qsizetype MessageView::MakeRoom(QString& text) {
    const qsizetype length = Length();
    if (length + text.size() <= kTextAreaLimit) return 0;
    qsizetype removed = length;
    if (text.size() >= kTrimmedLength) {
        // The new text alone fills the area: none of the old stays, and of the new only its
        // newest whole lines (or, for one line longer than the limit, its last characters).
        if (text.size() > kTextAreaLimit) {
            qsizetype start = LineStartFrom(text, text.size() - kTextAreaLimit);
            if (start >= text.size()) start = text.size() - kTextAreaLimit;
            text.remove(0, start);
        }
    } else {
        const qsizetype needed = length + text.size() - kTrimmedLength;
        const QTextBlock block = document()->findBlock(static_cast<int>(needed));
        if (block.position() >= needed) {
            removed = block.position();
        } else if (block.next().isValid()) {
            removed = block.next().position();
        }
    }
    QTextCursor front(document());
    front.setPosition(static_cast<int>(removed), QTextCursor::KeepAnchor);
    front.removeSelectedText();
    return removed;
}

void MessageView::Flush() {
    if (!appended_) return;
    appended_ = false;
    QString text = std::move(pending_);
    pending_.clear();
    QScrollBar* bar = verticalScrollBar();
    const bool following = bar->value() >= bar->maximum();
    const QTextBlock top = firstVisibleBlock();
    const int topPosition = top.position();
    const int linesIntoTop = bar->value() - top.firstLineNumber();

    const qsizetype removed = MakeRoom(text);
    if (wordWrapMode() != QTextOption::WrapAnywhere && HasLongRun(text)) {
        setWordWrapMode(QTextOption::WrapAnywhere);
    }
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(text);
    setTextCursor(end);  // Caret at the end, nothing selected; this also scrolls to it.

    if (following) {
        bar->setValue(bar->maximum());
    } else if (topPosition >= removed) {
        // The user's place, wherever trimming moved it in the document.
        const QTextBlock kept = document()->findBlock(static_cast<int>(topPosition - removed));
        bar->setValue(kept.firstLineNumber() + linesIntoTop);
    } else {
        bar->setValue(0);  // The lines the user was reading are gone; show the oldest left.
    }
}

void MessageView::Replace(qsizetype position, qsizetype length, const QString& text) {
    Flush();
    const qsizetype total = Length();
    const qsizetype from = std::clamp<qsizetype>(position, 0, total);
    const qsizetype to = length < 0 ? total : std::min(total, from + length);
    QTextCursor range(document());
    range.setPosition(static_cast<int>(from));
    range.setPosition(static_cast<int>(to), QTextCursor::KeepAnchor);
    range.removeSelectedText();
    // Like the append, a replacement never makes the text pass the limit.
    range.insertText(text.left(kTextAreaLimit - (total - (to - from))));
    setTextCursor(range);
    if (Length() == 0) setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
}

void MessageView::CopySelection() {
    Flush();
    const QTextCursor cursor = textCursor();
    if (cursor.hasSelection()) {
        QString selected = cursor.selectedText();
        selected.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        selected.replace(QChar::LineSeparator, QLatin1Char('\n'));
        QGuiApplication::clipboard()->setText(selected);
    }
    setFocus(Qt::OtherFocusReason);
}

QString MessageView::AllText() {
    Flush();
    return toPlainText();
}

bool MessageView::event(QEvent* event) {
    // Filtered here rather than in keyPressEvent, because Tab would otherwise move the focus
    // before the editor sees it.
    if (readOnly_ && event->type() == QEvent::KeyPress &&
        !ReachesEditor(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    if (readOnly_ && event->type() == QEvent::InputMethod) {
        event->accept();
        return true;
    }
    return QPlainTextEdit::event(event);
}

void MessageView::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        if (!textCursor().hasSelection()) setTextCursor(cursorForPosition(at));
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton && textCursor().hasSelection()) {
        // A press inside the selection would start dragging it; with dragging off it starts a
        // new selection, as a press anywhere else does.
        QTextCursor caret = textCursor();
        const int position = cursorForPosition(at).position();
        if (position >= caret.selectionStart() && position <= caret.selectionEnd() &&
            !(event->modifiers() & Qt::ShiftModifier)) {
            caret.clearSelection();
            setTextCursor(caret);
        }
    }
    QPlainTextEdit::mousePressEvent(event);
}

void MessageView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        if (viewport()->rect().contains(event->position().toPoint())) {
            RaiseEvent(GadgetMenu, gadget_, 0);
        }
        return;
    }
    QPlainTextEdit::mouseReleaseEvent(event);
}

void MessageView::contextMenuEvent(QContextMenuEvent* event) {
    // The program shows its own menu on GadgetMenu; the mouse and the menu key get no other.
    event->accept();
}

void MessageView::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    RaiseEvent(GadgetLostFocus, gadget_, 0);
}
