// The Qt application, the application title and the registry that owns every gadget.
#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QIcon>

#include "platform/gui/gadget.h"
#include "platform/gui/message_view.h"
#include "platform/gui/qt_text.h"
#include "platform/process.h"

namespace {

// Everything the window layer makes lives here until the process ends.
struct Registry {
    std::unique_ptr<QApplication> application;
    std::vector<std::unique_ptr<QWidget>> topLevels;
    std::vector<std::unique_ptr<Gadget>> gadgets;
    std::vector<std::unique_ptr<Timer>> timers;
    std::vector<Gadget*> textAreas;
    Gadget* mainWindow = nullptr;
    Text title;
};

// Never destroyed: the application and its windows end with the process. Destroyed as a
// static at exit, the application would outlive the Qt globals that it tears down with it.
Registry& TheRegistry() {
    static Registry* const registry = new Registry;
    return *registry;
}

}  // namespace

void InitPlatform() {
    InitProcess();
    // The program reads no command line: Qt gets the program's name and nothing else. Qt keeps
    // references to argc and argv, so they live as long as the application.
    static int argc = 1;
    static char name[] = "harkenwire";
    static char* argv[] = {name, nullptr};
    TheRegistry().application = std::make_unique<QApplication>(argc, argv);
    // Window managers find the icon and the entry of the program by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("harkenwire"));
}

void SetAppTitle(const Text& title) { TheRegistry().title = title; }

const Text& AppTitle() { return TheRegistry().title; }

void SetAppIcon(const Text& folder) {
    const QDir images(ToQString(folder), QStringLiteral("*.png"));
    QIcon icon;
    for (const QString& name : images.entryList(QDir::Files)) icon.addFile(images.filePath(name));
    if (!icon.isNull()) QApplication::setWindowIcon(icon);
}

Gadget* KeepGadget(std::unique_ptr<Gadget> gadget, std::unique_ptr<QWidget> topLevel) {
    Registry& registry = TheRegistry();
    Gadget* kept = registry.gadgets.emplace_back(std::move(gadget)).get();
    if (topLevel) registry.topLevels.push_back(std::move(topLevel));
    if (kept->parent) kept->parent->children.push_back(kept);
    if (kept->kind == GadgetKind::TextArea) registry.textAreas.push_back(kept);
    if (kept->kind == GadgetKind::Window && !registry.mainWindow) registry.mainWindow = kept;
    return kept;
}

Timer* KeepTimer(std::unique_ptr<Timer> timer) {
    return TheRegistry().timers.emplace_back(std::move(timer)).get();
}

Gadget* MainWindowGadget() { return TheRegistry().mainWindow; }

void FlushAllTextAreas() {
    for (Gadget* area : TheRegistry().textAreas) static_cast<MessageView*>(area->widget)->Flush();
}
