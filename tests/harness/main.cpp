// Entry point of every test program: the process-wide state is prepared once,
// as KVEL.exe prepares it, before any test drives a dialog.
#include "app/startup.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    PrepareAppState();
    return RUN_ALL_TESTS();
}
