#include <gtest/gtest.h>

#include <cstdlib>

#include "ui/application.h"

// Like the shared Qt test main, but with the program's own application object: the shell's
// failure handling lives in its event dispatch.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    kelmarin::TApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
