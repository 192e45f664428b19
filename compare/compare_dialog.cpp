// Dialog 8000: the two snapshots, their comparison on the worker thread and
// the result list.
#include "compare/compare_dialog.h"

#include "ui/app_ui.h"
#include "catalogue/catalogue.h"
#include "compare/changed_extensions_file.h"
#include "platform/registry.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "platform/registry_layout.h"
#include "text/system_text.h"
#include "text/text.h"

#include <commctrl.h>

#include <algorithm>

CompareStateRecord CompareState;

namespace {

// The progress window names the extension being compared at most this often:
// one message between threads per name would cost more than the comparison.
constexpr DWORD kNameDisplayIntervalMs = 50;

void ClearSnapshot(ExtensionSnapshot* snapshot) {
    snapshot->Names.clear();
    snapshot->Folded.clear();
}

void AddToSnapshot(ExtensionSnapshot* snapshot, const char* name) {
    snapshot->Names.emplace_back(name);
    snapshot->Folded.insert(RegistryNameKey(name));
}

void SetCounts(UINT added, UINT deleted) {
    SetDlgItemInt(CompareState.CompareDialog, IDC_COMPARE_ADDED, added, FALSE);
    SetDlgItemInt(CompareState.CompareDialog, IDC_COMPARE_DELETED, deleted, FALSE);
}

// The run of "."-keys of one hive's classes, in the registry's order.
std::vector<std::string> ExtensionRun(HKEY hive) {
    std::vector<std::string> names;
    RegKey classes;
    if (RegistryOpenKey(hive, kClassesKey, KEY_ENUMERATE_SUB_KEYS, classes.put()) != ERROR_SUCCESS)
        return names;
    // Names such as "*" and "-x" come before the run, the classes after it.
    RegistryForEachSubKey(classes.get(), [&](const char* name) {
        if (name[0] != '.')
            return names.empty();
        if (FitsBuffer(name, kExtensionNameSize))
            names.emplace_back(name);
        return true;
    });
    return names;
}

void InsertResultRows(const std::vector<ResultRow>& rows) {
    // One repaint when all rows are in, instead of one after each.
    SendMessageA(CompareState.ResultList, WM_SETREDRAW, FALSE, 0);
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    for (const ResultRow& row : rows) {
        item.pszText = const_cast<char*>(row.Name);
        item.iImage = row.Kind == kChangeAdded ? kImage16Added : kImage16Deleted;
        item.lParam = row.Kind;
        SendMessageA(CompareState.ResultList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(CompareState.ResultList, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(CompareState.ResultList, nullptr, TRUE);
}

// Adds a row of kind for every name of from that other does not hold; returns
// how many there were. The name being compared is shown at a bounded rate.
UINT CollectMissing(const ExtensionSnapshot& from, const ExtensionSnapshot& other, ChangeKind kind,
                    HWND progress, std::vector<ResultRow>* rows) {
    UINT missing = 0;
    DWORD lastShown = GetTickCount() - kNameDisplayIntervalMs;
    for (const std::string& name : from.Names) {
        if (GetTickCount() - lastShown >= kNameDisplayIntervalMs) {
            SetDlgItemTextA(progress, IDC_PROGRESS_NAME, name.c_str());
            lastShown = GetTickCount();
        }
        if (!SnapshotHolds(other, name.c_str())) {
            rows->push_back({name.c_str(), kind});
            ++missing;
        }
    }
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
                 reinterpret_cast<LPARAM>(AppUi.Images16));
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

// The question comes before the dialog takes any other input: a key pressed
// meanwhile must not rescan and empty the list it asks about.
void OfferToSave(HWND dialog) {
    if (SendMessageA(CompareState.ResultList, LVM_GETITEMCOUNT, 0, 0) > 0 &&
        MessageBoxA(dialog, kTextSaveQuestion, kTextSaveCaption, MB_YESNO) == IDYES)
        SaveChangedExtensions();
}

void Compare(HWND dialog) {
    EnableWindow(GetDlgItem(dialog, IDC_COMPARE_COMPARE), FALSE);
    RunCompareProgress();
    OfferToSave(dialog);
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
    case IDCANCEL: // Escape
        SendMessageA(dialog, WM_CLOSE, 0, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void RunCompareDialog(HWND owner) {
    DialogBoxParamA(AppUi.Instance, MAKEINTRESOURCEA(IDD_COMPARE), owner, CompareDialogProc, 0);
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
        InsertResultRows(*reinterpret_cast<const std::vector<ResultRow>*>(lParam));
        return TRUE;
    default:
        return FALSE;
    }
}

void TakeSnapshot(ExtensionSnapshot* snapshot) {
    ClearSnapshot(snapshot);
    const std::vector<std::string> user = ExtensionRun(HKEY_CURRENT_USER);
    const std::vector<std::string> machine = ExtensionRun(HKEY_LOCAL_MACHINE);
    // Both runs are in the registry's order: merged as they come, a name in
    // both is taken once, with the user's spelling.
    auto u = user.begin(), m = machine.begin();
    while (u != user.end() || m != machine.end()) {
        const int order = u == user.end()      ? 1
                          : m == machine.end() ? -1
                                               : CompareRegistryNames(u->c_str(), m->c_str());
        AddToSnapshot(snapshot, (order <= 0 ? *u : *m).c_str());
        if (order <= 0)
            ++u;
        if (order >= 0)
            ++m;
    }
}

bool SnapshotHolds(const ExtensionSnapshot& snapshot, const char* name) {
    return snapshot.Folded.count(RegistryNameKey(name)) != 0;
}

DWORD WINAPI CompareWorker(LPVOID) {
    HWND progress = CompareState.CompareProgress;
    TakeSnapshot(&CompareState.After);

    std::vector<ResultRow> rows;
    ShowWindow(GetDlgItem(progress, IDC_PROGRESS_ADDED), SW_SHOW);
    ShowWindow(GetDlgItem(progress, IDC_PROGRESS_DELETED), SW_HIDE);
    UINT added =
        CollectMissing(CompareState.After, CompareState.Before, kChangeAdded, progress, &rows);
    ShowWindow(GetDlgItem(progress, IDC_PROGRESS_ADDED), SW_HIDE);
    ShowWindow(GetDlgItem(progress, IDC_PROGRESS_DELETED), SW_SHOW);
    UINT deleted =
        CollectMissing(CompareState.Before, CompareState.After, kChangeDeleted, progress, &rows);

    // The list sorts its rows itself; it places each new row fastest when the
    // rows come from the last to the first.
    std::sort(rows.begin(), rows.end(), [](const ResultRow& a, const ResultRow& b) {
        return CompareRegistryNames(a.Name, b.Name) > 0;
    });
    SendMessageA(CompareState.CompareDialog, kInsertResultRowsMessage, 0,
                 reinterpret_cast<LPARAM>(&rows));
    SetCounts(added, deleted);
    SendMessageA(CompareState.ResultList, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
    SendMessageA(progress, kComparisonDoneMessage, 0, 0);
    return 0;
}
