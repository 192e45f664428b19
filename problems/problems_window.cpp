// Dialog 9200: the Problems window, and dialog 9300, the mend's preview.
#include "problems/problems_window.h"

#include "checks/checks.h"
#include "details/readers.h"
#include "platform/handles.h"
#include "platform/registry_write.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "text/system_text.h"
#include "ui/app_ui.h"
#include "ui/list_items.h"
#include "writer/mend.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <iterator>

namespace {

constexpr UINT kCheckProgressMessage = WM_APP + 1; // wParam done, lParam of all
constexpr UINT kCheckedMessage = WM_APP + 2;       // wParam true when the check ran to its end
// The window follows the check at most this often: a message between threads
// per type would cost more than checking it.
constexpr DWORD kProgressIntervalMs = 100;
// The findings list's columns' shares of its width, in percent: what is
// missing first among the long ones; a cut cell shows whole on hover.
constexpr int kColumnShares[] = {15, 14, 39, 32};
constexpr int kKindsShares[] = {100};

// The window's own state, from RunProblemsWindow's start to its end. The
// worker writes Checked, and reads Stopped, until it posts kCheckedMessage;
// the window reads Checked only after that.
struct ProblemsWindow {
    RunMode Mode = RunMode::User;
    HWND Window = nullptr;
    std::atomic<bool> Stopped{false};
    std::vector<Finding> Checked;
    bool Checking = true;
    bool CloseWhenChecked = false;
    std::vector<Finding> Findings;  // found and not mended
    std::vector<FindingKind> Kinds; // the kinds of Findings: the kinds list's rows
    bool FocusedEditable = false;   // the editor reaches the focused row's action
    ProblemsOutcome Outcome;
};

ProblemsWindow& StateOf(HWND window) {
    return *reinterpret_cast<ProblemsWindow*>(GetWindowLongPtrA(window, DWLP_USER));
}

HWND KindsList(const ProblemsWindow& state) {
    return GetDlgItem(state.Window, IDC_PROBLEMS_KINDS);
}

HWND FindingsList(const ProblemsWindow& state) {
    return GetDlgItem(state.Window, IDC_PROBLEMS_LIST);
}

std::string Counted(size_t count) {
    return std::to_string(count) + (count == 1 ? kTextProblemOne : kTextProblemMany);
}

DWORD WINAPI CheckWorker(LPVOID parameter) {
    auto* state = static_cast<ProblemsWindow*>(parameter);
    DWORD shown = GetTickCount() - kProgressIntervalMs;
    const bool whole = CheckFileTypes(
        state->Mode == RunMode::Admin, &state->Checked, [&](size_t done, size_t all) {
            if (GetTickCount() - shown >= kProgressIntervalMs) {
                PostMessageA(state->Window, kCheckProgressMessage, done, all);
                shown = GetTickCount();
            }
            return !state->Stopped;
        });
    PostMessageA(state->Window, kCheckedMessage, whole, 0);
    return 0;
}

void AddRow(HWND list, const std::vector<std::string>& cells, LPARAM data) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = ListCount(list);
    item.pszText = const_cast<char*>(cells[0].c_str());
    item.lParam = data;
    const int row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item));
    for (size_t column = 1; column < cells.size(); ++column) {
        item.iSubItem = static_cast<int>(column);
        item.pszText = const_cast<char*>(cells[column].c_str());
        SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    }
}

// The findings of the list's selected rows, or of its focused row alone.
std::vector<const Finding*> RowsOf(const ProblemsWindow& state, UINT which) {
    std::vector<const Finding*> rows;
    HWND list = FindingsList(state);
    for (int row = -1; (row = ListView_GetNextItem(list, row, which)) >= 0;)
        rows.push_back(&state.Findings[ListItemData(list, row)]);
    return rows;
}

// Whether the editor of the finding's extension edits the action's class.
bool Editable(const Finding& finding, RunMode mode) {
    return !finding.Extension.empty() &&
           CompareNoCase(ReadFileTypeShown(finding.Extension, mode).Class.Text.c_str(),
                         finding.Class.c_str()) == 0;
}

std::string Explanation(const Finding& finding, RunMode mode, bool editable) {
    const std::string text = std::string(finding.Sentence) + "\r\n";
    if (finding.Mend == MendKind::EditAction && editable)
        return text + kTextEditOpensStart + ActionVerb(finding) + kTextEditOpensMiddle +
               finding.Extension + ".";
    if (finding.Mend == MendKind::EditAction)
        return text + kTextEditCannotStart + finding.Class + kTextEditCannotMiddle +
               finding.Extension + ".";
    if (Removable(finding, mode))
        return text + kTextMendRemoves + MendText(finding) + ".";
    return text + kTextMachinesKeyStart + KeyDisplayName(finding.Hive, finding.KeyPath) +
           kTextMachinesKeyEnd;
}

bool ShownKindEdits(const ProblemsWindow& state) {
    const int row = ListView_GetNextItem(KindsList(state), -1, LVNI_SELECTED);
    return row >= 0 && FactsOf(state.Kinds[row]).Mend == MendKind::EditAction;
}

void EnableButtons(ProblemsWindow& state) {
    const std::vector<const Finding*> focused = RowsOf(state, LVNI_FOCUSED | LVNI_SELECTED);
    bool removable = false;
    for (const Finding* finding : RowsOf(state, LVNI_SELECTED))
        removable = removable || Removable(*finding, state.Mode);
    EnableWindow(GetDlgItem(state.Window, IDC_PROBLEMS_SHOW),
                 !focused.empty() && !focused[0]->Extension.empty());
    EnableWindow(GetDlgItem(state.Window, IDC_PROBLEMS_MEND),
                 ShownKindEdits(state) ? !focused.empty() && state.FocusedEditable : removable);
}

void ExplainFocused(ProblemsWindow& state) {
    const std::vector<const Finding*> focused = RowsOf(state, LVNI_FOCUSED);
    state.FocusedEditable = !focused.empty() && focused[0]->Mend == MendKind::EditAction &&
                            Editable(*focused[0], state.Mode);
    SetDlgItemTextA(
        state.Window, IDC_PROBLEMS_EXPLANATION,
        focused.empty() ? "" : Explanation(*focused[0], state.Mode, state.FocusedEditable).c_str());
}

// The findings of the selected kind, the first one focused and selected.
void ShowFindings(ProblemsWindow& state) {
    HWND list = FindingsList(state);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    const int kind = ListView_GetNextItem(KindsList(state), -1, LVNI_SELECTED);
    for (size_t index = 0; kind >= 0 && index < state.Findings.size(); ++index) {
        const Finding& finding = state.Findings[index];
        if (finding.Kind == state.Kinds[kind])
            AddRow(list,
                   {finding.Extension, finding.Class, finding.Missing,
                    KeyDisplayName(finding.Hive, finding.KeyPath)},
                   static_cast<LPARAM>(index));
    }
    SetDlgItemTextA(state.Window, IDC_PROBLEMS_MEND,
                    ShownKindEdits(state) ? kButtonEdit : kButtonMend);
    // The row's change of state explains it.
    if (ListCount(list) > 0) {
        SetListItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED);
        return;
    }
    ExplainFocused(state);
    EnableButtons(state);
}

// One row per kind found, with its count; the row of keep selected, where it
// is still found, else the first.
void ShowKinds(ProblemsWindow& state, FindingKind keep) {
    HWND kinds = KindsList(state);
    SendMessageA(kinds, LVM_DELETEALLITEMS, 0, 0);
    state.Kinds.clear();
    int selected = 0;
    for (int index = 0; index < kFindingKindCount; ++index) {
        const auto kind = static_cast<FindingKind>(index);
        const auto count = std::count_if(state.Findings.begin(), state.Findings.end(),
                                         [&](const Finding& f) { return f.Kind == kind; });
        if (count == 0)
            continue;
        if (kind == keep)
            selected = static_cast<int>(state.Kinds.size());
        state.Kinds.push_back(kind);
        AddRow(kinds, {FactsOf(kind).Heading + (" (" + std::to_string(count) + ")")}, index);
    }
    if (state.Kinds.empty())
        ShowFindings(state);
    else
        SetListItemState(kinds, selected, LVIS_SELECTED | LVIS_FOCUSED);
}

void OnProgress(ProblemsWindow& state, WPARAM done, LPARAM all) {
    const std::string text = kTextProblemsChecking + std::to_string(done) + kTextProblemsOf +
                             std::to_string(all) + "...";
    SetDlgItemTextA(state.Window, IDC_PROBLEMS_STATUS, text.c_str());
    SendDlgItemMessageA(state.Window, IDC_PROBLEMS_PROGRESS, PBM_SETRANGE32, 0, all);
    SendDlgItemMessageA(state.Window, IDC_PROBLEMS_PROGRESS, PBM_SETPOS, done, 0);
}

void OnChecked(ProblemsWindow& state, bool whole) {
    state.Checking = false;
    if (state.CloseWhenChecked) {
        EndDialog(state.Window, 0);
        return;
    }
    state.Findings = std::move(state.Checked);
    ShowWindow(GetDlgItem(state.Window, IDC_PROBLEMS_PROGRESS), SW_HIDE);
    ShowWindow(GetDlgItem(state.Window, IDC_PROBLEMS_STOP), SW_HIDE);
    const std::string found = Counted(state.Findings.size()) + kTextProblemsFound;
    SetDlgItemTextA(state.Window, IDC_PROBLEMS_STATUS,
                    !whole                   ? (kTextProblemsStopped + found).c_str()
                    : state.Findings.empty() ? kTextProblemsNone
                                             : found.c_str());
    ShowKinds(state, FindingKind::MissingClass);
    SetFocus(KindsList(state));
}

INT_PTR CALLBACK PreviewProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(dialog, IDC_MENDPREVIEW_LIST, reinterpret_cast<const char*>(lParam));
        SetFocus(GetDlgItem(dialog, IDOK));
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

// The selected rows' removals, shown first; then made, and their rows gone.
void MendSelected(ProblemsWindow& state) {
    std::vector<Finding> mended;
    std::string preview;
    for (const Finding* finding : RowsOf(state, LVNI_SELECTED))
        if (Removable(*finding, state.Mode)) {
            mended.push_back(*finding);
            preview += MendText(*finding) + "\r\n";
        }
    if (mended.empty() ||
        DialogBoxParamA(AppUi.Instance, MAKEINTRESOURCEA(IDD_MENDPREVIEW), state.Window,
                        PreviewProc, reinterpret_cast<LPARAM>(preview.c_str())) != IDOK)
        return;
    const ChangeOutcome outcome = MendFindings(mended, state.Mode);
    if (!outcome.Done()) {
        MessageBoxA(state.Window, DescribeRefusal(outcome).c_str(), kCaptionNotMended,
                    MB_OK | MB_ICONHAND);
        return;
    }
    std::vector<std::string>& placed = state.Outcome.Mended;
    for (const std::string& extension : ExtensionsOf(LastChange()))
        if (std::find(placed.begin(), placed.end(), extension) == placed.end())
            placed.push_back(extension);
    for (const Finding& finding : mended)
        state.Findings.erase(
            std::find_if(state.Findings.begin(), state.Findings.end(), [&](const Finding& shown) {
                return shown.Hive == finding.Hive && shown.KeyPath == finding.KeyPath &&
                       shown.ValueName == finding.ValueName && shown.Kind == finding.Kind;
            }));
    const std::string text = kTextProblemsMended + Counted(mended.size()) + kTextProblemsUndo;
    SetDlgItemTextA(state.Window, IDC_PROBLEMS_STATUS, text.c_str());
    ShowKinds(state, mended[0].Kind);
    // The Mend button the focus was on may be greyed now.
    SetFocus(KindsList(state));
}

// The focused row's type opens in the main window, with the editor on its
// action for Edit.
void OpenFocused(ProblemsWindow& state, bool edit) {
    const std::vector<const Finding*> focused = RowsOf(state, LVNI_FOCUSED | LVNI_SELECTED);
    if (focused.empty() || focused[0]->Extension.empty())
        return;
    state.Outcome.Extension = focused[0]->Extension;
    if (edit)
        state.Outcome.Action = ActionVerb(*focused[0]);
    EndDialog(state.Window, 0);
}

void OnClose(ProblemsWindow& state) {
    if (!state.Checking) {
        EndDialog(state.Window, 0);
        return;
    }
    state.Stopped = true;
    state.CloseWhenChecked = true;
}

void OnCommand(ProblemsWindow& state, WORD command) {
    switch (command) {
    case IDC_PROBLEMS_STOP:
        state.Stopped = true;
        EnableWindow(GetDlgItem(state.Window, IDC_PROBLEMS_STOP), FALSE);
        break;
    case IDC_PROBLEMS_MEND:
        if (ShownKindEdits(state))
            OpenFocused(state, true);
        else
            MendSelected(state);
        break;
    case IDOK: // Enter on a row
    case IDC_PROBLEMS_SHOW:
        OpenFocused(state, false);
        break;
    case IDCANCEL:
        OnClose(state);
        break;
    default:
        break;
    }
}

INT_PTR OnNotify(ProblemsWindow& state, const NMHDR* header) {
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    if (header->hwndFrom == KindsList(state) && header->code == LVN_ITEMCHANGED &&
        (change->uNewState & ~change->uOldState & LVIS_SELECTED)) {
        ShowFindings(state);
    } else if (header->hwndFrom == FindingsList(state) && header->code == LVN_ITEMCHANGED) {
        if (change->uNewState & ~change->uOldState & LVIS_FOCUSED)
            ExplainFocused(state);
        EnableButtons(state);
    } else if (header->hwndFrom == FindingsList(state) && header->code == NM_DBLCLK) {
        OpenFocused(state, false);
    } else if (header->hwndFrom == FindingsList(state) && header->code == LVN_KEYDOWN &&
               reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey == 'A' &&
               GetKeyState(VK_CONTROL) < 0) {
        SetListItemState(FindingsList(state), -1, LVIS_SELECTED);
    } else {
        return FALSE;
    }
    return TRUE;
}

void OnInitDialog(HWND window, LPARAM parameter) {
    SetWindowLongPtrA(window, DWLP_USER, parameter);
    ProblemsWindow& state = StateOf(window);
    state.Window = window;
    AddListColumns(KindsList(state), &kProblemsKindColumn, kKindsShares, 1);
    AddListColumns(FindingsList(state), kProblemsColumns, kColumnShares,
                   static_cast<int>(std::size(kColumnShares)), LVS_EX_LABELTIP);
    // Without a thread of its own the check runs here, before the window shows.
    if (!StartWorker(CheckWorker, &state))
        CheckWorker(&state);
}

INT_PTR CALLBACK ProblemsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        OnInitDialog(window, lParam);
        return TRUE;
    }
    if (!GetWindowLongPtrA(window, DWLP_USER))
        return FALSE;
    ProblemsWindow& state = StateOf(window);
    switch (message) {
    case kCheckProgressMessage:
        OnProgress(state, wParam, lParam);
        return TRUE;
    case kCheckedMessage:
        OnChecked(state, wParam != 0);
        return TRUE;
    case WM_COMMAND:
        OnCommand(state, LOWORD(wParam));
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(state, reinterpret_cast<const NMHDR*>(lParam));
    case WM_CLOSE:
        OnClose(state);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

ProblemsOutcome RunProblemsWindow(HWND owner, RunMode mode) {
    ProblemsWindow state;
    state.Mode = mode;
    DialogBoxParamA(AppUi.Instance, MAKEINTRESOURCEA(IDD_PROBLEMS), owner, ProblemsProc,
                    reinterpret_cast<LPARAM>(&state));
    return std::move(state.Outcome);
}
