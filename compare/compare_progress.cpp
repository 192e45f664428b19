// Dialog 9000: shown over the compare dialog while CompareWorker compares.
#include "ui/app_ui.h"
#include "ui/window_helpers.h"
#include "compare/compare_dialog.h"
#include "platform/handles.h"
#include "resources/resource.h"

namespace {

void StartComparison(HWND dialog) {
    CompareState.CompareProgress = dialog;
    CenterOver(CompareState.CompareDialog, dialog);
    if (!StartWorker(CompareWorker, nullptr))
        PostMessageA(dialog, kComparisonDoneMessage, 0, 0);
}

INT_PTR CALLBACK CompareProgressProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        StartComparison(dialog);
        return TRUE;
    case kComparisonDoneMessage:
        CompareState.CompareProgress = nullptr;
        EndDialog(dialog, 0);
        return TRUE;
    case WM_CLOSE:
        return TRUE; // the worker ends the window when it is done
    default:
        return FALSE;
    }
}

} // namespace

void RunCompareProgress() {
    DialogBoxParamA(AppUi.Instance, MAKEINTRESOURCEA(IDD_PROGRESS), CompareState.CompareDialog,
                    CompareProgressProc, 0);
}
