// The driver's notification box: it counts the boxes the program would show, and lets them be
// dismissed at once, so that a scenario can prove that no error box came up.
#include <atomic>
#include <cstdio>

#include "platform/notify.h"
#include "stress/scenario.h"

std::atomic<int32_t> notifications{0};

void Notify(const Text& text, int32_t serious) {
    notifications.fetch_add(1);
    std::fprintf(stderr, "stress: the program showed a box (%d): %s\n", static_cast<int>(serious),
                 Latin1Bytes(text).c_str());
}
