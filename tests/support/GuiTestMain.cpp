#include "platform/Forms.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char* argv[]) {
    // Headless unless a display is asked for explicitly.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    TApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
