// harkenwire_probe MODE OUT: the program as its main() starts it, with hooks that time it,
// writing "name nanoseconds" lines (monotonic clock) to the file OUT.
//
// MODE paint: the times at which main() began, the window system was ready, the main window
// was open and its first paint (the window with every gadget) was done; then the process
// ends. MODE exit, and exit-idle with a connection open that sends nothing: after the first
// paint, the time of a click on "Exit"; the program's exit sequence then ends the process.
#include <QCoreApplication>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <fstream>
#include <string>

#include "app/main_window.h"
#include "app/startup.h"
#include "bench/monotonic.h"
#include "bench/press_button.h"
#include "bench/program_in_process.h"
#include "platform/gui/gadgets.h"
#include "platform/gui/testing/qt_access.h"
#include "platform/testing/socket_client.h"

namespace {

constexpr int32_t kPaintWaitMs = 10'000;
constexpr int32_t kConnectionWaitMs = 5'000;

// Notes when the first paint of the whole window is over: once the Exit button, made last,
// has been painted, the next turn of the event loop comes after the rest of that paint.
class FirstPaint : public QObject {
  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && seen_ == false && exitButton != nullptr &&
            watched == GadgetWidget(exitButton)) {
            seen_ = true;
            QTimer::singleShot(0, [this] { doneAt = NowNs(); });
        }
        return false;
    }
    int64_t doneAt = 0;

  private:
    bool seen_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    const int64_t mainAt = NowNs();
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s paint|exit|exit-idle OUT\n", argv[0]);
        return 2;
    }
    const std::string mode = argv[1];
    std::ofstream out(argv[2]);

    InitPlatform();
    const int64_t platformAt = NowNs();
    FirstPaint firstPaint;
    QCoreApplication::instance()->installEventFilter(&firstPaint);
    if (!OpenMainWindow()) return 1;
    const int64_t windowAt = NowNs();
    if (!RunEventLoopUntil([&] { return firstPaint.doneAt != 0; }, kPaintWaitMs)) return 1;
    out << "main " << mainAt << "\nplatform " << platformAt << "\nwindow " << windowAt << "\npaint "
        << firstPaint.doneAt << '\n';
    if (mode == "paint") {
        out.close();
        EndBenchmark();
    }

    if (mode == "exit-idle") {
        static LoopbackClient idle(ListenerPort());
        if (!idle.Connected() || !WaitConnectionThreads(1, kConnectionWaitMs)) return 1;
    }
    const ClickTarget* exit = AimAt(exitButton);
    out << "click " << NowNs() << '\n';
    out.close();
    PostClick(exit);
    RunEventLoop();
}
