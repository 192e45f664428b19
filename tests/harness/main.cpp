// Entry point of every test program: the process-wide state is prepared once,
// as KVEL.exe prepares it, before any test drives a dialog.
#include "app/startup.h"
#include "platform/handles.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ComScope com;
    // The program the fixtures' commands name: the shell answers only for a
    // program that is on disk. The prefix is a throw-away one.
    CreateDirectoryA("C:\\Tools", nullptr);
    for (const char* program :
         {"C:\\Tools\\kvtview.exe", "C:\\Tools\\kvtone.exe", "C:\\Tools\\kvttwo.exe"})
        CopyFileA("C:\\windows\\system32\\notepad.exe", program, TRUE);
    PrepareAppState();
    return RUN_ALL_TESTS();
}
