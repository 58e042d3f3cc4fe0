// The main of every GUI test: the window system first, then the tests.
#include <gtest/gtest.h>

#include "platform/gui/gadgets.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    InitPlatform();
    return RUN_ALL_TESTS();
}
