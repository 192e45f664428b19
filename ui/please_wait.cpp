// The shell refresh: one SHCNE_ASSOCCHANGED notification from a worker thread
// while "Please Wait..." is open.
#include "ui/please_wait.h"

#include "platform/handles.h"
#include "ui/app_ui.h"
#include "resources/resource.h"

#include <shlobj.h>

namespace {

// The worker gets the window of its own run as its parameter: a worker that
// finishes after its window was closed with Esc can only reach that window,
// never the window of a later run.
DWORD WINAPI ShellRefreshThread(LPVOID window) {
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSHNOWAIT, nullptr, nullptr);
    SendMessageA(static_cast<HWND>(window), WM_CLOSE, 0, 0);
    return 0;
}

void OnInitDialog(HWND dialog) {
    if (!StartWorker(ShellRefreshThread, dialog))
        ShellRefreshThread(dialog);
}

INT_PTR CALLBACK PleaseWaitProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) == 0 && LOWORD(wParam) == IDCANCEL)
            SendMessageA(dialog, WM_CLOSE, 0, 0);
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void RunShellRefresh(HWND owner) {
    DialogBoxParamA(AppUi.Instance, MAKEINTRESOURCEA(IDD_PLEASEWAIT), owner, PleaseWaitProc, 0);
}
