// KVEL.exe: prepares the process-wide state and runs the main window of the
// run mode; the process ends when that window closes.
#include "app/startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    PrepareAppState();
    RunMainWindow();
    ExitProcess(0);
}
