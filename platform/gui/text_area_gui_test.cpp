// The read-only message view: its key table, the right button, appends and their gathering,
// the text limit, replacing, copying and scrolling, on real widgets under the offscreen
// platform.
#include "platform/gui/text_area.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

#include "platform/gui/events.h"
#include "platform/gui/gadgets.h"
#include "platform/gui/qt_text.h"
#include "platform/gui/testing/event_wait.h"
#include "platform/gui/testing/qt_access.h"

namespace {

constexpr int kSettleMs = 2000;
const QString kText = QStringLiteral("alpha beta\ngamma delta\nepsilon");

class TextAreaTest : public testing::Test {
  protected:
    void SetUp() override {
        window_ = CreateWindow(u"Harkenwire", 30, 30, 480, 640);
        area_ = CreateTextArea(0, 0, ClientWidth(window_), ClientHeight(window_) - 40, window_,
                               TextAreaWordWrap | TextAreaReadOnly);
        button_ = CreateButton(u"Exit", 0, ClientHeight(window_) - 40, 100, 40, window_);
        AddText(area_, ToText(kText));
        editor_ = TextAreaEditor(area_);
        GadgetWidget(window_)->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(GadgetWidget(window_)));
        editor_->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return editor_->hasFocus(); }, kSettleMs));
        Select(0, 0);
        DropEvents();
    }

    void Select(int anchor, int position) {
        QTextCursor cursor = editor_->textCursor();
        cursor.setPosition(anchor);
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        editor_->setTextCursor(cursor);
    }

    // A point just right of the caret position, in the viewport's coordinates: a click there
    // puts the caret at position.
    QPoint PointAt(int position) {
        QTextCursor cursor = editor_->textCursor();
        cursor.setPosition(position);
        const QRect caret = editor_->cursorRect(cursor);
        return QPoint(caret.x() + 1, caret.center().y());
    }

    QString Text() { return ToQString(TextAreaText(area_)); }
    int Caret() { return editor_->textCursor().position(); }
    QString Selected() { return editor_->textCursor().selectedText(); }
    // The line at the top of the view.
    QString TopLine() { return editor_->cursorForPosition(QPoint(2, 2)).block().text(); }

    Gadget* window_ = nullptr;
    Gadget* area_ = nullptr;
    Gadget* button_ = nullptr;
    QPlainTextEdit* editor_ = nullptr;
};

TEST_F(TextAreaTest, KeysThatWouldChangeTheTextAreSwallowed) {
    struct Case {
        const char* what;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    const Case cases[] = {
        {"a letter", Qt::Key_X, Qt::NoModifier},
        {"a capital", Qt::Key_X, Qt::ShiftModifier},
        {"a digit", Qt::Key_7, Qt::NoModifier},
        {"space", Qt::Key_Space, Qt::NoModifier},
        {"Enter", Qt::Key_Return, Qt::NoModifier},
        {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier},
        {"Tab", Qt::Key_Tab, Qt::NoModifier},
        {"Shift+Tab", Qt::Key_Backtab, Qt::ShiftModifier},
        {"Backspace", Qt::Key_Backspace, Qt::NoModifier},
        {"Delete", Qt::Key_Delete, Qt::NoModifier},
        {"Insert", Qt::Key_Insert, Qt::NoModifier},
        {"Shift+Insert (paste)", Qt::Key_Insert, Qt::ShiftModifier},
        {"Shift+Delete (cut)", Qt::Key_Delete, Qt::ShiftModifier},
        {"Ctrl+V", Qt::Key_V, Qt::ControlModifier},
        {"Ctrl+X", Qt::Key_X, Qt::ControlModifier},
        {"Ctrl+Z", Qt::Key_Z, Qt::ControlModifier},
        {"Ctrl+Insert", Qt::Key_Insert, Qt::ControlModifier},
        {"Alt+Left", Qt::Key_Left, Qt::AltModifier},
        {"the menu key", Qt::Key_Menu, Qt::NoModifier},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QGuiApplication::clipboard()->setText(QStringLiteral("on the clipboard"));
        Select(6, 10);  // "beta", so that a cut or a delete would have something to take
        QTest::keyClick(editor_, c.key, c.modifiers);
        QTest::keyClicks(editor_, QStringLiteral("typed"));
        EXPECT_EQ(Text(), kText);
        EXPECT_EQ(Selected(), QStringLiteral("beta"));
        EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("on the clipboard"));
        EXPECT_TRUE(editor_->hasFocus()) << "the focus left the area";
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    }
}

TEST_F(TextAreaTest, NavigationKeysMoveTheCaretAndSelectWithShift) {
    // Keys that move by lines keep the caret's x, which depends on the font: for them the
    // line is what counts.
    struct Case {
        const char* what;
        int from;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int caret;  // -1: only the line matters
        int line;
        QString selected;
    };
    const Case cases[] = {
        {"Right", 0, Qt::Key_Right, Qt::NoModifier, 1, 0, {}},
        {"Left", 3, Qt::Key_Left, Qt::NoModifier, 2, 0, {}},
        {"End", 2, Qt::Key_End, Qt::NoModifier, 10, 0, {}},
        {"Home", 14, Qt::Key_Home, Qt::NoModifier, 11, 1, {}},
        {"Down", 2, Qt::Key_Down, Qt::NoModifier, -1, 1, {}},
        {"Up", 13, Qt::Key_Up, Qt::NoModifier, -1, 0, {}},
        {"keypad Down", 2, Qt::Key_Down, Qt::KeypadModifier, -1, 1, {}},
        {"Ctrl+Right", 0, Qt::Key_Right, Qt::ControlModifier, 6, 0, {}},
        {"Ctrl+End", 0, Qt::Key_End, Qt::ControlModifier, 30, 2, {}},
        {"Page Down", 0, Qt::Key_PageDown, Qt::NoModifier, -1, 2, {}},
        {"Page Up", 30, Qt::Key_PageUp, Qt::NoModifier, -1, 0, {}},
        {"Shift+Right", 6, Qt::Key_Right, Qt::ShiftModifier, 7, 0, QStringLiteral("b")},
        {"Shift+End", 6, Qt::Key_End, Qt::ShiftModifier, 10, 0, QStringLiteral("beta")},
        {"Ctrl+Shift+Left", 10, Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier, 6, 0,
         QStringLiteral("beta")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Select(c.from, c.from);
        QTest::keyClick(editor_, c.key, c.modifiers);
        if (c.caret >= 0) {
            EXPECT_EQ(Caret(), c.caret);
        }
        EXPECT_EQ(editor_->textCursor().blockNumber(), c.line);
        EXPECT_EQ(Selected(), c.selected);
        EXPECT_EQ(Text(), kText);
    }
}

TEST_F(TextAreaTest, CtrlASelectsAllAndCtrlCCopiesTheSelection) {
    QTest::keyClick(editor_, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Selected().size(), kText.size());
    Select(6, 16);  // "beta" and "gamma" across the line break
    QTest::keyClick(editor_, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("beta\ngamma"));
}

TEST_F(TextAreaTest, RightPressPlacesTheCaretOnlyWithoutASelection) {
    QWidget* viewport = editor_->viewport();
    QTest::mousePress(viewport, Qt::RightButton, Qt::NoModifier, PointAt(13));
    EXPECT_EQ(Caret(), 13);
    EXPECT_TRUE(Selected().isEmpty());
    QTest::mouseRelease(viewport, Qt::RightButton, Qt::NoModifier, PointAt(13));

    for (int inside : {false, true}) {
        SCOPED_TRACE(inside ? "inside the selection" : "outside the selection");
        Select(0, 5);
        const QPoint at = PointAt(inside ? 2 : 20);
        QTest::mousePress(viewport, Qt::RightButton, Qt::NoModifier, at);
        QTest::mouseRelease(viewport, Qt::RightButton, Qt::NoModifier, at);
        EXPECT_EQ(Selected(), QStringLiteral("alpha"));
    }
}

TEST_F(TextAreaTest, GadgetMenuComesOnlyFromARightReleaseOverTheArea) {
    QWidget* viewport = editor_->viewport();
    struct Case {
        const char* what;
        QWidget* widget;
        Qt::MouseButton button;
        QPoint releasedAt;
        bool menu;
    };
    const QPoint inside = viewport->rect().center();
    const QPoint outside = viewport->rect().bottomRight() + QPoint(20, 20);
    const Case cases[] = {
        {"right click in the area", viewport, Qt::RightButton, inside, true},
        {"right press in the area, released outside it", viewport, Qt::RightButton, outside, false},
        {"left click in the area", viewport, Qt::LeftButton, inside, false},
        {"right click on a button", GadgetWidget(button_), Qt::RightButton, QPoint(5, 5), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTest::mousePress(c.widget, c.button, Qt::NoModifier, QPoint(5, 5));
        QTest::mouseRelease(c.widget, c.button, Qt::NoModifier, c.releasedAt);
        if (c.menu) {
            ASSERT_EQ(WaitEventOfKind(GadgetMenu, kSettleMs), GadgetMenu);
            EXPECT_EQ(EventSource(), area_);
            EXPECT_EQ(EventData(), 0);
        } else {
            EXPECT_EQ(WaitEventOfKind(GadgetMenu, 50), 0);
        }
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "a menu of Qt's own";
    }
}

TEST_F(TextAreaTest, CaretMovesAndFocusLossAreReported) {
    QTest::keyClick(editor_, Qt::Key_Right, Qt::ShiftModifier);
    ASSERT_EQ(WaitEventOfKind(GadgetSelect, kSettleMs), GadgetSelect);
    EXPECT_EQ(EventSource(), area_);
    GadgetWidget(button_)->setFocus();
    ASSERT_EQ(WaitEventOfKind(GadgetLostFocus, kSettleMs), GadgetLostFocus);
    EXPECT_EQ(EventSource(), area_);
}

TEST_F(TextAreaTest, SelectionStaysVisibleWithoutFocusAndNothingIsDropped) {
    const QPalette colours = editor_->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        EXPECT_EQ(colours.color(QPalette::Inactive, role), colours.color(QPalette::Active, role));
    }
    EXPECT_FALSE(editor_->acceptDrops());
    EXPECT_FALSE(editor_->viewport()->acceptDrops());
    EXPECT_FALSE(editor_->document()->isUndoRedoEnabled());
    EXPECT_EQ(editor_->accessibleName(), QStringLiteral("Messages"));
    EXPECT_EQ(editor_->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(editor_->lineWrapMode(), QPlainTextEdit::WidgetWidth);
}

TEST_F(TextAreaTest, LeftPressInsideTheSelectionStartsANewOneInsteadOfADrag) {
    Select(0, 10);
    QWidget* viewport = editor_->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, PointAt(3));
    QTest::mouseMove(viewport, PointAt(7));
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, PointAt(7));
    EXPECT_EQ(Text(), kText);
    EXPECT_EQ(Selected(), QStringLiteral("ha b"));
}

TEST_F(TextAreaTest, AddTextAppendsAtTheEndAndDropsTheSelection) {
    Select(0, 5);
    AddText(area_, u"\n[From 10.0.0.7]\tabc\n");
    EXPECT_EQ(Text(), kText + QStringLiteral("\n[From 10.0.0.7]\tabc\n"));
    EXPECT_EQ(Caret(), Text().size());
    EXPECT_TRUE(Selected().isEmpty());

    // Even an empty append moves the caret to the end.
    Select(0, 5);
    AddText(area_, u"");
    EXPECT_EQ(Caret(), Text().size());
    EXPECT_TRUE(Selected().isEmpty());
}

TEST_F(TextAreaTest, AppendsInARowReachTheWidgetAsOneInsert) {
    auto* widget = qobject_cast<QPlainTextEdit*>(GadgetWidget(area_));  // does not flush
    QSignalSpy changes(widget->document(), &QTextDocument::contentsChange);
    const int before = widget->document()->characterCount();
    for (int i = 0; i < 100; ++i) AddText(area_, u"[From 10.0.0.7]\tline\n");
    EXPECT_EQ(widget->document()->characterCount(), before) << "nothing handed over yet";
    EXPECT_EQ(changes.count(), 0);

    // The event loop hands them over before it sleeps, in order, as one insert.
    WaitEventWithin(0);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(widget->document()->characterCount(), before + 100 * 21);
    EXPECT_TRUE(widget->toPlainText().endsWith(QStringLiteral("line\n[From 10.0.0.7]\tline\n")));
}

TEST_F(TextAreaTest, ReplaceTextClearsAndReplacesByCharacters) {
    ReplaceText(area_, 6, 4, u"BETA", 1);
    EXPECT_EQ(Text(), QStringLiteral("alpha BETA\ngamma delta\nepsilon"));
    EXPECT_EQ(Caret(), 10);
    ReplaceText(area_, 11, -1, u"", 1);  // negative length: to the end
    EXPECT_EQ(Text(), QStringLiteral("alpha BETA\n"));
    ReplaceText(area_, 0, 3, u"", 7);  // no such unit: nothing happens
    EXPECT_EQ(Text(), QStringLiteral("alpha BETA\n"));

    AddText(area_, u"waiting to be shown\n");  // gathered appends are cleared with the rest
    Select(1, 4);
    ReplaceText(area_, 0, -1, u"", 1);
    EXPECT_EQ(Text(), QString());
    EXPECT_EQ(Caret(), 0);
    EXPECT_EQ(editor_->document()->blockCount(), 1);
}

TEST_F(TextAreaTest, CopyPutsExactlyTheSelectionOnTheClipboardAndFocusesTheArea) {
    GadgetWidget(button_)->setFocus();
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
    CopyTextSelection(area_);  // nothing selected
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return editor_->hasFocus(); }, kSettleMs));

    GadgetWidget(button_)->setFocus();
    Select(8, 25);
    CopyTextSelection(area_);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("ta\ngamma delta\nep"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return editor_->hasFocus(); }, kSettleMs));
}

// Numbered lines of 40 characters, line feed included.
QString Lines(int first, int count) {
    QString text;
    text.reserve(count * 40);
    for (int i = first; i < first + count; ++i) {
        text += QStringLiteral("line %1").arg(i, 9, 10, QLatin1Char('0')).leftJustified(39, '.');
        text += QLatin1Char('\n');
    }
    return text;
}

TEST_F(TextAreaTest, AtTheLimitTheOldestWholeLinesGoAndTheNewestShow) {
    ReplaceText(area_, 0, -1, u"", 1);
    const int lines = kTextAreaLimit / 40;  // 104,857 lines fill all but 24 characters
    AddText(area_, ToText(Lines(0, lines)));
    ASSERT_EQ(Text().size(), lines * 40);

    AddText(area_, ToText(Lines(lines, 1)));
    const QString text = Text();
    EXPECT_LE(text.size(), kTextAreaLimit);
    EXPECT_LE(text.size(), kTextAreaLimit / 8 * 7 + 40) << "trimmed in one large step";
    EXPECT_TRUE(text.startsWith(QStringLiteral("line "))) << "only whole lines go";
    EXPECT_TRUE(text.endsWith(Lines(lines, 1))) << "the newest line shows";
    EXPECT_EQ(text.size() % 40, 0);
    EXPECT_EQ(Caret(), text.size());

    // One append larger than the whole limit keeps its own newest whole lines.
    AddText(area_, ToText(Lines(0, lines + 1000)));
    const QString flood = Text();
    EXPECT_LE(flood.size(), kTextAreaLimit);
    EXPECT_TRUE(flood.startsWith(QStringLiteral("line ")));
    EXPECT_TRUE(flood.endsWith(Lines(lines + 999, 1)));
}

TEST_F(TextAreaTest, ViewFollowsTheEndUnlessTheUserScrolledUp) {
    ReplaceText(area_, 0, -1, u"", 1);
    AddText(area_, ToText(Lines(0, 500)));
    QScrollBar* bar = TextAreaEditor(area_)->verticalScrollBar();
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->maximum() > 0; }, kSettleMs));
    EXPECT_EQ(bar->value(), bar->maximum());

    AddText(area_, ToText(Lines(500, 100)));
    TextAreaEditor(area_);
    EXPECT_EQ(bar->value(), bar->maximum()) << "at the end, the view follows";

    bar->setValue(bar->maximum() / 2);
    const QString reading = TopLine();
    AddText(area_, ToText(Lines(600, 100)));
    TextAreaEditor(area_);
    EXPECT_LT(bar->value(), bar->maximum());
    EXPECT_EQ(TopLine(), reading) << "scrolled up, the view stays";
}

TEST_F(TextAreaTest, TrimmingKeepsTheLineTheUserIsReading) {
    ReplaceText(area_, 0, -1, u"", 1);
    const int lines = kTextAreaLimit / 40;
    AddText(area_, ToText(Lines(0, lines)));
    QScrollBar* bar = TextAreaEditor(area_)->verticalScrollBar();
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->maximum() > 0; }, kSettleMs));
    // Reading a line in the newest eighth, which the trim keeps.
    bar->setValue(bar->maximum() - 1000);
    const QString reading = TopLine();
    AddText(area_, ToText(Lines(lines, 10)));
    ASSERT_LT(TextAreaEditor(area_)->document()->characterCount(), kTextAreaLimit / 8 * 7 + 500);
    EXPECT_EQ(TopLine(), reading);
}

}  // namespace
