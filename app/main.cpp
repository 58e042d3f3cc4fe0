#include "app/startup.h"
#include "platform/gui/gadgets.h"

int main() {
    InitPlatform();
    StartUp();
    return 0;
}
