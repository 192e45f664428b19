// Dialog 8000: the two snapshots, their comparison on the worker thread and
// the result list.
#include "compare/compare_dialog.h"

#include "app/app_state.h"
#include "app/catalogue/catalogue.h"
#include "compare/changed_extensions_file.h"
#include "platform/registry.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "text/text.h"

#include <commctrl.h>

CompareStateRecord CompareState;

namespace {

// The worker updates the windows at most this often: one message between
// threads per name or per row would cost more than the comparison itself.
constexpr DWORD kDisplayIntervalMs = 50;

std::string FoldCase(const char* name) {
    std::string folded(name);
    for (char& c : folded)
        c = static_cast<char>(CaseTable[static_cast<unsigned char>(c)]);
    return folded;
}

void ClearSnapshot(ExtensionSnapshot* snapshot) {
    snapshot->Names.clear();
    snapshot->Folded.clear();
}

void AddToSnapshot(ExtensionSnapshot* snapshot, const char* name) {
    snapshot->Names.emplace_back(name);
    snapshot->Folded.insert(FoldCase(name));
}

void SetCounts(UINT added, UINT deleted) {
    SetDlgItemInt(CompareState.CompareDialog, IDC_COMPARE_ADDED, added, FALSE);
    SetDlgItemInt(CompareState.CompareDialog, IDC_COMPARE_DELETED, deleted, FALSE);
}

void InsertResultRows(ChangeKind kind, const std::vector<const char*>& names) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iImage = kind == kChangeAdded ? kImage16Added : kImage16Deleted;
    item.lParam = kind;
    for (const char* name : names) {
        item.pszText = const_cast<char*>(name);
        SendMessageA(CompareState.ResultList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

// From the worker: the rows found since the last hand-over go to the dialog
// thread in one message, so that the cost of a message between threads is
// paid per batch instead of per row.
void HandOverRows(ChangeKind kind, std::vector<const char*>* names) {
    if (names->empty())
        return;
    SendMessageA(CompareState.CompareDialog, kInsertResultRowsMessage, kind,
                 reinterpret_cast<LPARAM>(names));
    names->clear();
}

// Lists every name of from that other does not hold as a row of kind; returns
// how many there were. The name being compared is shown, and the rows found
// are handed to the list, at a bounded rate.
UINT ListMissing(const ExtensionSnapshot& from, const ExtensionSnapshot& other, ChangeKind kind,
                 HWND progress) {
    UINT missing = 0;
    std::vector<const char*> found;
    DWORD lastShown = GetTickCount() - kDisplayIntervalMs;
    for (const std::string& name : from.Names) {
        if (GetTickCount() - lastShown >= kDisplayIntervalMs) {
            HandOverRows(kind, &found);
            SetDlgItemTextA(progress, IDC_PROGRESS_NAME, name.c_str());
            lastShown = GetTickCount();
        }
        if (!SnapshotHolds(other, name.c_str())) {
            found.push_back(name.c_str());
            ++missing;
        }
    }
    HandOverRows(kind, &found);
    return missing;
}

void InsertResultColumn() {
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.cx = 0;
    column.pszText = const_cast<char*>(kTextCompareColumn);
    SendMessageA(CompareState.ResultList, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
}

void FocusButton(HWND dialog, int id) {
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, id)), TRUE);
}

void OpenCompareDialog(HWND dialog) {
    CompareState.CompareDialog = dialog;
    CompareState.ResultList = GetDlgItem(dialog, IDC_COMPARE_RESULTS);
    CompareState.CompareProgress = nullptr;
    SendMessageA(CompareState.ResultList, LVM_SETIMAGELIST, LVSIL_SMALL,
                 reinterpret_cast<LPARAM>(AppState.Images16));
    SetCounts(0, 0);
    ClearSnapshot(&CompareState.Before);
    ClearSnapshot(&CompareState.After);
    InsertResultColumn();
}

void Scan(HWND dialog) {
    EnableWindow(GetDlgItem(dialog, IDC_COMPARE_SCAN), FALSE);
    ClearSnapshot(&CompareState.Before);
    ClearSnapshot(&CompareState.After);
    SendMessageA(CompareState.ResultList, LVM_DELETEALLITEMS, 0, 0);
    SetCounts(0, 0);
    TakeSnapshot(&CompareState.Before);
    EnableWindow(GetDlgItem(dialog, IDC_COMPARE_COMPARE), TRUE);
    FocusButton(dialog, IDC_COMPARE_COMPARE);
}

void Compare(HWND dialog) {
    EnableWindow(GetDlgItem(dialog, IDC_COMPARE_COMPARE), FALSE);
    RunCompareProgress();
    EnableWindow(GetDlgItem(dialog, IDC_COMPARE_SCAN), TRUE);
    FocusButton(dialog, IDC_COMPARE_SCAN);
}

void CloseCompareDialog(HWND dialog) {
    // The worker reads the snapshots until the progress window closes.
    if (CompareState.CompareProgress)
        return;
    ClearSnapshot(&CompareState.Before);
    ClearSnapshot(&CompareState.After);
    EndDialog(dialog, 0);
}

INT_PTR RunCompareCommand(HWND dialog, WORD command) {
    switch (command) {
    case IDC_COMPARE_SCAN:
        Scan(dialog);
        return TRUE;
    case IDC_COMPARE_COMPARE:
        Compare(dialog);
        return TRUE;
    case IDC_COMPARE_CLOSE:
        SendMessageA(dialog, WM_CLOSE, 0, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void RunCompareDialog() {
    DialogBoxParamA(AppState.Instance, MAKEINTRESOURCEA(IDD_COMPARE), AppState.MainWindow,
                    CompareDialogProc, 0);
}

INT_PTR CALLBACK CompareDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OpenCompareDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) != 0)
            return FALSE;
        return RunCompareCommand(dialog, LOWORD(wParam));
    case WM_CLOSE:
        CloseCompareDialog(dialog);
        return TRUE;
    case kInsertResultRowsMessage:
        InsertResultRows(static_cast<ChangeKind>(wParam),
                         *reinterpret_cast<const std::vector<const char*>*>(lParam));
        return TRUE;
    default:
        return FALSE;
    }
}

void TakeSnapshot(ExtensionSnapshot* snapshot) {
    ClearSnapshot(snapshot);
    RegKey root;
    if (RegistryOpenKey(HKEY_CLASSES_ROOT, nullptr, KEY_ENUMERATE_SUB_KEYS, root.put()) !=
        ERROR_SUCCESS)
        return;
    // The root enumerates in ascending order without regard to case: names
    // such as "*" come first, then the run of extensions, then the classes.
    bool inRun = false;
    for (DWORD index = 0;; ++index) {
        char name[kExtensionNameSize] = {};
        DWORD length = kExtensionNameSize;
        LONG status = RegistryEnumKey(root.get(), index, name, &length);
        if (status == ERROR_MORE_DATA)
            continue; // too long for an extension name; what follows still counts
        if (status != ERROR_SUCCESS)
            break;
        if (name[0] == '.') {
            inRun = true;
            AddToSnapshot(snapshot, name);
        } else if (inRun) {
            break;
        }
    }
}

bool SnapshotHolds(const ExtensionSnapshot& snapshot, const char* name) {
    return snapshot.Folded.count(FoldCase(name)) != 0;
}

DWORD WINAPI CompareWorker(LPVOID) {
    HWND progress = CompareState.CompareProgress;
    TakeSnapshot(&CompareState.After);

    // The list repaints once, when all rows are in, instead of after each batch.
    SendMessageA(CompareState.ResultList, WM_SETREDRAW, FALSE, 0);
    ShowWindow(GetDlgItem(progress, IDC_PROGRESS_ADDED), SW_SHOW);
    ShowWindow(GetDlgItem(progress, IDC_PROGRESS_DELETED), SW_HIDE);
    UINT added = ListMissing(CompareState.After, CompareState.Before, kChangeAdded, progress);
    ShowWindow(GetDlgItem(progress, IDC_PROGRESS_ADDED), SW_HIDE);
    ShowWindow(GetDlgItem(progress, IDC_PROGRESS_DELETED), SW_SHOW);
    UINT deleted = ListMissing(CompareState.Before, CompareState.After, kChangeDeleted, progress);

    SetCounts(added, deleted);
    SendMessageA(CompareState.ResultList, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
    SendMessageA(CompareState.ResultList, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(CompareState.ResultList, nullptr, TRUE);
    SendMessageA(progress, kComparisonDoneMessage, 0, 0);

    if (SendMessageA(CompareState.ResultList, LVM_GETITEMCOUNT, 0, 0) > 0 &&
        MessageBoxA(CompareState.CompareDialog, kTextSaveQuestion, kTextSaveCaption, MB_YESNO) ==
            IDYES)
        SaveChangedExtensions();
    return 0;
}
