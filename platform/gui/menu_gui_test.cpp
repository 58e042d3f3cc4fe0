// Popup menus: shown at the pointer with the root's entries; a choice raises MenuAction with
// the entry and its tag; closing without a choice raises nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <functional>

#include "platform/gui/events.h"
#include "platform/gui/gadgets.h"
#include "platform/gui/testing/event_wait.h"
#include "platform/gui/testing/qt_access.h"

namespace {

constexpr int kSettleMs = 2000;

// Once the next popup menu is open, hands it to act. A menu that act leaves open is closed
// after the deadline, so that a failing test cannot hang in it.
void OnNextPopup(std::function<void(QMenu*)> act) {
    QTimer::singleShot(0, [act = std::move(act)] {
        QMenu* menu = nullptr;
        const bool shown = QTest::qWaitFor(
            [&] { return (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())); },
            kSettleMs);
        ASSERT_TRUE(shown) << "no popup menu appeared";
        act(menu);
        QTimer::singleShot(kSettleMs, [] {
            if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        });
    });
}

class MenuTest : public testing::Test {
  protected:
    void SetUp() override {
        window_ = CreateWindow(u"Harkenwire", 50, 50, 480, 640);
        root_ = CreateMenu(u"Clipboard", 0, nullptr);
        entries_[0] = CreateMenu(u"Copy selected text", 1, root_);
        entries_[1] = CreateMenu(u"Server IP...", 2, root_);
        QCursor::setPos(GadgetWidget(window_)->mapToGlobal(QPoint(100, 100)));
        DropEvents();
    }

    Gadget* window_ = nullptr;
    Gadget* root_ = nullptr;
    Gadget* entries_[2] = {};
};

TEST_F(MenuTest, AChoiceRaisesMenuActionWithTheEntryAndItsTag) {
    for (int index : {0, 1}) {
        SCOPED_TRACE(index);
        QStringList shown;
        OnNextPopup([&](QMenu* menu) {
            for (QAction* action : menu->actions()) shown.append(action->text());
            QAction* entry = menu->actions().at(index);
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
        });
        PopupWindowMenu(window_, root_);
        EXPECT_EQ(shown, (QStringList{QStringLiteral("Copy selected text"),
                                      QStringLiteral("Server IP...")}));
        ASSERT_EQ(WaitEventOfKind(MenuAction, kSettleMs), MenuAction);
        EXPECT_EQ(EventSource(), entries_[index]);
        EXPECT_EQ(EventData(), index + 1);
    }
}

TEST_F(MenuTest, TheMenuOpensAtThePointerAndTheKeyboardCanChoose) {
    const QPoint pointer = QCursor::pos();
    QPoint shownAt;
    OnNextPopup([&](QMenu* menu) {
        shownAt = menu->pos();
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    PopupWindowMenu(window_, root_);
    EXPECT_EQ(shownAt, pointer);
    ASSERT_EQ(WaitEventOfKind(MenuAction, kSettleMs), MenuAction);
    EXPECT_EQ(EventData(), 2);
}

TEST_F(MenuTest, ClosingWithoutAChoiceRaisesNothing) {
    bool shown = false;
    OnNextPopup([&](QMenu* menu) {
        shown = true;
        QTest::keyClick(menu, Qt::Key_Escape);
    });
    PopupWindowMenu(window_, root_);
    EXPECT_TRUE(shown);
    EXPECT_EQ(WaitEventOfKind(MenuAction, 100), 0);
}

}  // namespace
