// The widget behind a text area: a plain-text editor without an undo stack, which the user
// can read, select in and copy from, but not change when it is read-only.
//
// Read-only means a key table: the arrow keys, Home, End, Page Up and Page Down, with any of
// Shift and Ctrl, and Ctrl+A and Ctrl+C reach the editor; every other key press and every
// typed character is swallowed, Tab included. A right-button press places the caret at the
// pointer unless text is selected; a right-button release over the area raises GadgetMenu.
// Qt's own context menu, drag and drop are off, and the selection stays highlighted without
// the focus. A move of the caret or the selection raises GadgetSelect, losing the focus
// GadgetLostFocus. Appends are gathered and reach the document as one insert when Flush()
// runs. Main thread only.
#pragma once

#include <QPlainTextEdit>
#include <QString>

struct Gadget;

class MessageView : public QPlainTextEdit {
  public:
    MessageView(Gadget* gadget, bool wordWrap, bool readOnly, QWidget* parent);

    // Gathers text to be appended at the next Flush().
    void Append(const QString& text) {
        pending_ += text;
        appended_ = true;
    }

    // Appends the gathered text as one insert, puts the caret at the end with nothing selected
    // and keeps the view at the end, or where the user scrolled to.
    void Flush();

    // Replaces length characters from position (negative length: up to the end) by text,
    // caret after it.
    void Replace(qsizetype position, qsizetype length, const QString& text);

    // Puts the selected characters on the clipboard, line breaks as line feeds, and takes the
    // focus. Without a selection the clipboard is left alone.
    void CopySelection();

    // The whole text, line breaks as line feeds.
    QString AllText();

    // Characters in the document, the line breaks between paragraphs counted as one each.
    qsizetype Length() const;

  protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    qsizetype MakeRoom(QString& text);

    Gadget* gadget_;
    bool readOnly_;
    QString pending_;
    bool appended_ = false;  // Even an empty append moves the caret and drops the selection.
};
