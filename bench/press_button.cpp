#include "bench/press_button.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QWidget>
#include <memory>
#include <vector>

#include "platform/gui/testing/qt_access.h"

struct ClickTarget {
    QWidget* widget;  // Lives until the process ends, like every gadget.
    QPointF local;
    QPointF global;
    // Made on the main thread: the first use would make it, as a child of the application.
    const QPointingDevice* mouse;
};

const ClickTarget* AimAt(Gadget* button) {
    static std::vector<std::unique_ptr<ClickTarget>> targets;
    QWidget* widget = GadgetWidget(button);
    auto target = std::make_unique<ClickTarget>();
    target->widget = widget;
    target->local = QPointF(widget->rect().center());
    target->global = QPointF(widget->mapToGlobal(widget->rect().center()));
    target->mouse = QPointingDevice::primaryPointingDevice();
    return targets.emplace_back(std::move(target)).get();
}

void PostClick(const ClickTarget* target) {
    // Qt owns a posted event and deletes it once delivered.
    QCoreApplication::postEvent(
        target->widget,
        new QMouseEvent(QEvent::MouseButtonPress, target->local, target->global, Qt::LeftButton,
                        Qt::LeftButton, Qt::NoModifier, target->mouse));
    QCoreApplication::postEvent(
        target->widget,
        new QMouseEvent(QEvent::MouseButtonRelease, target->local, target->global, Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier, target->mouse));
}
