// KVEL.exe: prepares the process-wide state and runs the main window of the
// run mode; the process ends when that window closes.
#include "app/startup.h"
#include "platform/handles.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    {
        // COM lives as long as the main window: the shell's file dialogs and
        // the icon picker's folder view need it.
        ComScope com;
        PrepareAppState();
        if (ChooseRunMode())
            RunMainWindow();
    }
    ExitProcess(0);
}
