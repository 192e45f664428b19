// The admin-mode main window (dialog 1200).
#include "app/app_state.h"
#include "app/main_window.h"

#include <objbase.h>

INT_PTR CALLBACK AdminMainWindowProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        AppState.MainWindow = dialog;
        return TRUE;
    case WM_CLOSE:
        CoUninitialize();
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}
