// The notification box on the main thread and from other threads, including while the main
// thread is inside a box or a popup menu of its own.
#include "platform/notify.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <thread>

#include "platform/gui/events.h"
#include "platform/gui/gadgets.h"
#include "platform/gui/testing/event_wait.h"
#include "platform/gui/testing/qt_access.h"

namespace {

constexpr int kSettleMs = 3000;

// The visible box whose text is text, or null once the deadline has passed without one.
QMessageBox* FindBox(const QString& text) {
    QMessageBox* found = nullptr;
    (void)QTest::qWaitFor(
        [&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(widget);
                if (box && box->isVisible() && box->text() == text) found = box;
            }
            return found != nullptr;
        },
        kSettleMs);
    return found;
}

void PressOk(QMessageBox* box) { box->button(QMessageBox::Ok)->click(); }

// Notify on a thread of its own; done() tells whether it has returned.
class Notifier {
  public:
    Notifier(const char16_t* text, int32_t serious)
        : thread_([this, text, serious] {
              Notify(text, serious);
              returned_ = true;
          }) {}
    ~Notifier() { thread_.join(); }
    bool Returned() const { return returned_; }

  private:
    std::atomic<bool> returned_{false};
    std::thread thread_;
};

class NotifyTest : public testing::Test {
  protected:
    void SetUp() override {
        SetAppTitle(u"Harkenwire");
        if (!window_) {  // The first window made is the main window; the suite keeps one.
            window_ = CreateWindow(u"Harkenwire", 60, 60, 480, 640);
            area_ = CreateTextArea(0, 0, 200, 200, window_, TextAreaWordWrap | TextAreaReadOnly);
        }
        GadgetWidget(window_)->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(GadgetWidget(window_)));
        DropEvents();
    }

    static Gadget* window_;
    static Gadget* area_;
};

Gadget* NotifyTest::window_ = nullptr;
Gadget* NotifyTest::area_ = nullptr;

TEST_F(NotifyTest, FromAnotherThreadTheMainLoopKeepsRunningUntilOk) {
    CreateTimer(100);
    Notifier notifier(u"Couldn't create server!", 1);
    QMessageBox* box = FindBox(QStringLiteral("Couldn't create server!"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Harkenwire"));
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->buttons().size(), 1);
    EXPECT_NE(box->button(QMessageBox::Ok), nullptr);
    EXPECT_TRUE(box->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(box->parentWidget(), nullptr) << "owned by no window";
    EXPECT_EQ(QApplication::modalWindow(), nullptr) << "the main window is not blocked";

    // The main thread's own loop goes on taking events while the box is open.
    for (int i = 0; i < 3; ++i) ASSERT_EQ(WaitEventOfKind(TimerTick, kSettleMs), TimerTick);
    EXPECT_FALSE(notifier.Returned());

    PressOk(box);
    EXPECT_TRUE(QTest::qWaitFor([&] { return notifier.Returned(); }, kSettleMs));
}

TEST_F(NotifyTest, OnTheMainThreadTheBoxBelongsToTheMainWindowAndFocusComesBack) {
    QPlainTextEdit* editor = TextAreaEditor(area_);
    editor->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return editor->hasFocus(); }, kSettleMs));
    QWidget* parent = nullptr;
    Qt::WindowModality modality = Qt::NonModal;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer::singleShot(0, [&] {
        QMessageBox* box = FindBox(QStringLiteral("127.0.0.1"));
        ASSERT_NE(box, nullptr);
        parent = box->parentWidget();
        modality = box->windowModality();
        icon = box->icon();
        PressOk(box);
    });
    Notify(u"127.0.0.1", 0);
    EXPECT_EQ(parent, GadgetWidget(window_));
    EXPECT_EQ(modality, Qt::WindowModal);
    EXPECT_EQ(icon, QMessageBox::Information);
    EXPECT_TRUE(QTest::qWaitFor([&] { return editor->hasFocus(); }, kSettleMs));
}

TEST_F(NotifyTest, FromAnotherThreadWhileTheMainThreadIsInABoxOrAMenu) {
    Gadget* menu = CreateMenu(u"Clipboard", 0, nullptr);
    CreateMenu(u"Copy selected text", 1, menu);
    struct Case {
        const char* what;
        std::function<void()> enter;  // blocks in a nested loop until closeInner() runs
        std::function<void()> closeInner;
    };
    const Case cases[] = {
        {"in a box", [] { Notify(u"inner box", 0); },
         [] {
             if (QMessageBox* inner = FindBox(QStringLiteral("inner box"))) PressOk(inner);
         }},
        {"in a popup menu", [&] { PopupWindowMenu(window_, menu); },
         [] {
             if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        bool returned = false;
        QTimer::singleShot(0, [&] {
            Notifier notifier(u"from the listener", 1);
            QMessageBox* box = FindBox(QStringLiteral("from the listener"));
            EXPECT_NE(box, nullptr);
            if (box) PressOk(box);
            returned = QTest::qWaitFor([&] { return notifier.Returned(); }, kSettleMs);
            c.closeInner();
        });
        c.enter();
        EXPECT_TRUE(returned);
    }
}

}  // namespace
