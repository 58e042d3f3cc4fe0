// The notification box, over QMessageBox.
#include "platform/notify.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QThread>
#include <future>

#include "platform/gui/gadget.h"
#include "platform/gui/qt_text.h"

namespace {

std::unique_ptr<QMessageBox> MakeBox(const Text& text, int32_t serious, QWidget* owner,
                                     Qt::WindowModality modality) {
    auto box = std::make_unique<QMessageBox>(
        serious ? QMessageBox::Warning : QMessageBox::Information, ToQString(AppTitle()),
        ToQString(text), QMessageBox::Ok, owner);
    // In this order: a message box resets its window flags when its modality changes.
    box->setWindowModality(modality);
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    return box;
}

// On the main thread: a box modal to the main window; the focus goes back where it was.
void NotifyOnMainThread(const Text& text, int32_t serious) {
    FlushAllTextAreas();
    const QPointer<QWidget> focus = QApplication::focusWidget();
    const Gadget* window = MainWindowGadget();
    std::unique_ptr<QMessageBox> box =
        MakeBox(text, serious, window ? window->widget : nullptr, Qt::WindowModal);
    box->exec();
    box.reset();
    if (focus) {
        focus->activateWindow();
        focus->setFocus(Qt::OtherFocusReason);
    }
}

}  // namespace

void Notify(const Text& text, int32_t serious) {
    if (QThread::currentThread() == qApp->thread()) {
        NotifyOnMainThread(text, serious);
        return;
    }
    // Any other thread: the main thread shows a box that belongs to no window and blocks
    // nothing, whatever loop it is in (the program's own, a popup menu's or another box's);
    // only the caller waits for OK.
    std::promise<void> closed;
    std::future<void> done = closed.get_future();
    QMetaObject::invokeMethod(
        qApp,
        [&closed, text, serious] {
            QMessageBox* box = MakeBox(text, serious, nullptr, Qt::NonModal).release();
            box->setAttribute(Qt::WA_DeleteOnClose);  // From here on Qt owns the box.
            QObject::connect(box, &QDialog::finished, [&closed] { closed.set_value(); });
            box->show();
        },
        Qt::QueuedConnection);
    done.wait();
}
