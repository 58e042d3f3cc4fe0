#include "platform/gui/window_widget.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <functional>

#include "platform/gui/events.h"
#include "platform/gui/gadget.h"
#include "platform/gui/raise_event.h"

namespace {

constexpr int kFrameWaitMs = 500;
constexpr int kMaximizeWaitMs = 1000;

// Lets Qt handle the window system's answers, user input left waiting, until done() holds or
// limitMs have passed. Returns whether done() holds.
bool ProcessEventsUntil(const std::function<bool()>& done, int limitMs) {
    FlushAllTextAreas();
    const QDeadlineTimer deadline(limitMs, Qt::PreciseTimer);
    QTimer wake;  // Ends a wait at the deadline; restarted before each, should it fire early.
    wake.setTimerType(Qt::PreciseTimer);
    wake.setSingleShot(true);
    while (!done()) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0) return false;
        wake.start(static_cast<int>(left));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// The height of a menu bar with one line of text: a bar whose only item is empty would be
// only a few pixels high.
int OneLineMenuBarHeight() {
    QMenuBar sample;
    sample.setNativeMenuBar(false);
    sample.addAction(QStringLiteral("X"));
    return sample.sizeHint().height();
}

}  // namespace

WindowWidget::WindowWidget(const QString& title, const QRect& outer)
    : menuBar_(new QMenuBar(this)),
      client_(new QWidget(this)),
      menuBarHeight_(OneLineMenuBarHeight()),
      wanted_(outer),
      recorded_(outer) {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setWindowTitle(title);
    setAccessibleName(title);
    menuBar_->setNativeMenuBar(false);  // A global menu bar elsewhere would change the client area.
    menuBar_->addAction(QString());
    // Until the frame's margins are known the client area gets the whole rectangle.
    move(outer.topLeft());
    resize(std::max(outer.width(), 0), std::max(outer.height(), 0));
}

void WindowWidget::ShowAtFrame() {
    show();
    // A window manager frames the window before it maps it, so once the window is exposed
    // the margins are known, and the client size can be made to fit before anyone reads it.
    ProcessEventsUntil([this] { return windowHandle()->isExposed(); }, kFrameWaitMs);
    FitFrame();
    ProcessEventsUntil([this] { return Frame() == wanted_; }, kFrameWaitMs);
    // The rectangle asked for is the one recorded at creation, also where the system placed
    // the window a little differently while making it (as Qt's offscreen platform does with
    // negative positions); moves and resizes from now on record what the system reports.
    recorded_ = wanted_;
}

void WindowWidget::Maximize() {
    const QRect before = Frame();
    showMaximized();
    // Done when the frame covers the screen's free area, or, where the window manager
    // maximizes to something else, when the frame has changed its size while maximized.
    ProcessEventsUntil(
        [this, before] {
            return (screen() && Frame() == screen()->availableGeometry()) ||
                   (isMaximized() && Frame().size() != before.size());
        },
        kMaximizeWaitMs);
}

QRect WindowWidget::Recorded() const {
    return isMaximized() && !isMinimized() ? Frame() : recorded_;
}

QRect WindowWidget::Frame() const {
    // During a resize event the widget has its new size before the platform window reports
    // it, and the platform window has its new position before the widget does.
    const QWindow* handle = windowHandle();
    if (!handle) return frameGeometry();
    return QRect(handle->framePosition(), size().grownBy(handle->frameMargins()));
}

void WindowWidget::FitFrame() {
    if (!framePending_ || !windowHandle()) return;
    const QMargins margins = windowHandle()->frameMargins();
    if (margins.isNull()) return;
    framePending_ = false;
    // Maximized or minimized before the frame was known: the system owns the frame by now.
    if (windowState() != Qt::WindowNoState) return;
    resize(std::max(wanted_.width() - margins.left() - margins.right(), 0),
           std::max(wanted_.height() - margins.top() - margins.bottom(), 0));
    move(wanted_.topLeft());
}

void WindowWidget::closeEvent(QCloseEvent* event) {
    // The window stays until the process ends; the program decides what a close request does.
    event->ignore();
    RaiseEvent(WindowClose, gadget_, 0);
}

void WindowWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Resized();
}

void WindowWidget::Resized() {
    // Minimizing records nothing, so restoring finds the size, and the gadgets, unchanged.
    if (isMinimized()) return;
    recorded_ = Frame();
    menuBar_->setGeometry(0, 0, width(), menuBarHeight_);
    client_->setGeometry(0, menuBarHeight_, width(), std::max(height() - menuBarHeight_, 0));
    if (gadget_) {
        PlaceChildren(gadget_);
        RaiseEvent(WindowSize, gadget_, 0);
    }
    FitFrame();
}

void WindowWidget::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (windowState() == Qt::WindowNoState) {
        recorded_.moveTopLeft(Frame().topLeft());
    } else if (isMaximized() && !isMinimized()) {
        // The system may tell of a maximize as a resize and then a move; both are one change
        // to the maximized frame, which is what a maximized window records.
        recorded_ = Frame();
    }
    if (gadget_) RaiseEvent(WindowMove, gadget_, 0);
    FitFrame();
}

void WindowWidget::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && gadget_) {
        RaiseEvent(WindowActivate, gadget_, 0);
    }
    // The system may tell of the new size before it tells that the window is no longer
    // minimized, and restoring is a resize all the same.
    if (event->type() == QEvent::WindowStateChange) Resized();
}
