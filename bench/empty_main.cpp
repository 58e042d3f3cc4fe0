// harkenwire_empty: a program that does nothing but is linked with the same Qt libraries as
// the real one, so that timing its start and end shows what loading those libraries costs.
#include <QWidget>

int main(int argc, char**) {
    // Never true; the call only keeps the library among the ones loaded at start.
    return argc > 99 && QWidget::keyboardGrabber() != nullptr ? 1 : 0;
}
