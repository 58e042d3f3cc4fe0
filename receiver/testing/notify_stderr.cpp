// Notifications for tests that run without a window system: the text goes to standard error,
// where a test of a child process can read it, and the box counts as dismissed at once.
#include <cstdio>

#include "platform/notify.h"

void Notify(const Text& text, int32_t serious) {
    std::fprintf(stderr, "notify(%d): %s\n", static_cast<int>(serious), Latin1Bytes(text).c_str());
}
