// Dialog 9100: Export All's progress while its worker gathers and composes.
#include "export/export_progress.h"

#include "export/export_keys.h"
#include "platform/handles.h"
#include "ui/app_ui.h"
#include "resources/resource.h"
#include "ui/window_helpers.h"

#include <commctrl.h>

#include <atomic>

namespace {

constexpr UINT kExportDoneMessage = WM_APP + 1;
constexpr UINT_PTR kShowTimer = 1;
// Work done sooner than this shows no window: it would only flicker.
constexpr UINT kShowAfterMs = 400;
// The window follows the work at most this often: a message between threads
// per extension would cost more than reading it.
constexpr DWORD kUpdateIntervalMs = 100;

// Shared by the window and its worker. The worker touches the window only
// through SendMessage and the calls built on it, and the rest only until it
// posts kExportDoneMessage, the one message that ends the window.
struct ExportJob {
    HKEY Hive;
    HWND Window = nullptr;
    bool Shown = false; // the window's thread only
    std::atomic<bool> Cancelled{false};
    std::string Bytes;
};

DWORD WINAPI ExportWorker(LPVOID parameter) {
    auto* job = static_cast<ExportJob*>(parameter);
    const std::vector<std::string> extensions = ExportableExtensions(job->Hive);
    SendDlgItemMessageA(job->Window, IDC_EXPORTPROGRESS_BAR, PBM_SETRANGE32, 0,
                        static_cast<LPARAM>(extensions.size()));
    DWORD lastShown = GetTickCount() - kUpdateIntervalMs;
    const std::vector<ExportedKey> keys = GatherExportKeys(
        job->Hive, extensions, [&](size_t done, size_t, const std::string& extension) {
            if (GetTickCount() - lastShown >= kUpdateIntervalMs) {
                SetDlgItemTextA(job->Window, IDC_EXPORTPROGRESS_NAME, extension.c_str());
                SendDlgItemMessageA(job->Window, IDC_EXPORTPROGRESS_BAR, PBM_SETPOS, done, 0);
                lastShown = GetTickCount();
            }
            return !job->Cancelled;
        });
    if (!job->Cancelled)
        job->Bytes = ComposeRegFile(keys);
    PostMessageA(job->Window, kExportDoneMessage, 0, 0);
    return 0;
}

void StartExport(HWND dialog, ExportJob* job) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(job));
    job->Window = dialog;
    CenterOver(GetWindow(dialog, GW_OWNER), dialog);
    SetTimer(dialog, kShowTimer, kShowAfterMs, nullptr);
    // Without a thread of its own the work runs here, the window unseen.
    if (!StartWorker(ExportWorker, job))
        ExportWorker(job);
}

void Cancel(HWND dialog, ExportJob* job) {
    job->Cancelled = true;
    EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
}

INT_PTR CALLBACK ExportProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* job = reinterpret_cast<ExportJob*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        StartExport(dialog, reinterpret_cast<ExportJob*>(lParam));
        return TRUE;
    case WM_WINDOWPOSCHANGING:
        // The dialog box shows itself when idle; it stays hidden until the timer.
        if (!job || !job->Shown)
            reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_SHOWWINDOW;
        return FALSE;
    case WM_TIMER:
        KillTimer(dialog, kShowTimer);
        job->Shown = true;
        ShowWindow(dialog, SW_SHOW);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL)
            Cancel(dialog, job);
        return TRUE;
    case WM_CLOSE:
        Cancel(dialog, job);
        return TRUE;
    case kExportDoneMessage:
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

bool ComposeAllWithProgress(HWND owner, HKEY hive, std::string* bytes) {
    ExportJob job;
    job.Hive = hive;
    if (DialogBoxParamA(AppUi.Instance, MAKEINTRESOURCEA(IDD_EXPORTPROGRESS), owner,
                        ExportProgressProc, reinterpret_cast<LPARAM>(&job)) == -1 ||
        job.Cancelled)
        return false;
    *bytes = std::move(job.Bytes);
    return true;
}
