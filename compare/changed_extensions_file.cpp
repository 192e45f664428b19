// The save dialog with its "Description:" field, and the file it writes.
#include "compare/changed_extensions_file.h"

#include "platform/handles.h"
#include "platform/whole_file.h"
#include "records/app_state.h"
#include "ui/app_ui.h"
#include "ui/window_helpers.h"
#include "catalogue/catalogue.h"
#include "compare/compare_dialog.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "text/system_text.h"
#include "text/text.h"

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

char SaveDescription[kSaveDescriptionSize];

namespace {

std::vector<ChangedExtension> ReadResultRows() {
    std::vector<ChangedExtension> rows;
    auto count = static_cast<int>(SendMessageA(CompareState.ResultList, LVM_GETITEMCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        char text[kExtensionNameSize] = {};
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = index;
        item.pszText = text;
        item.cchTextMax = kExtensionNameSize;
        SendMessageA(CompareState.ResultList, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        rows.push_back({text, item.lParam});
    }
    return rows;
}

// The chosen path into path (kTextSize bytes); false when the user cancelled.
bool AskForFileName(char* path) {
    FillWords(SaveDescription, kSaveDescriptionSize, 0);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = CompareState.CompareDialog;
    dialog.hInstance = AppUi.Instance;
    dialog.lpstrFilter = kSaveFilter;
    dialog.lpstrFile = path;
    dialog.nMaxFile = kTextSize;
    dialog.lpstrInitialDir = AppState.AppDirectory;
    dialog.lpstrTitle = kTextSaveTitle;
    dialog.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    dialog.lpstrDefExt = kSaveDefaultExtension;
    dialog.lpfnHook = SaveDialogHook;
    return GetSaveFileNameA(&dialog) && path[0];
}

void ReportSaveFailure(const char* path) {
    std::string message = std::string(kTextSaveFailed) + path + kTextSaveFailedNotSaved;
    MessageBoxA(CompareState.CompareDialog, message.c_str(), kTextSaveCaption, MB_OK | MB_ICONHAND);
}

void MoveDown(HWND control, HWND dialog, int step) {
    RECT rect = RectInDialog(dialog, control);
    SetWindowPos(control, nullptr, rect.left, rect.top + step, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND CreateChild(HWND dialog, DWORD exStyle, const char* className, const char* text, DWORD style,
                 const RECT& rect, int id) {
    HWND control =
        CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, rect.left,
                        rect.top, rect.right - rect.left, rect.bottom - rect.top, dialog,
                        reinterpret_cast<HMENU>(id), AppUi.Instance, nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    return control;
}

// The "Description:" row takes the place of the file-type row, which moves
// one row down. Positions come from the file dialog's own controls, whose
// places differ between the systems' dialogs. Returns the dialog's bottom
// margin, kept when the dialog is fitted to its controls.
int AddDescriptionField(HWND fileDialog) {
    HWND typeLabel = GetDlgItem(fileDialog, stc2);
    HWND typeCombo = GetDlgItem(fileDialog, cmb1);
    RECT label = RectInDialog(fileDialog, typeLabel);
    RECT combo = RectInDialog(fileDialog, typeCombo);
    RECT nameLabel = RectInDialog(fileDialog, GetDlgItem(fileDialog, stc3));
    const int rowStep = label.top - nameLabel.top;
    MoveDown(typeLabel, fileDialog, rowStep);
    MoveDown(typeCombo, fileDialog, rowStep);

    CreateChild(fileDialog, 0, WC_STATICA, kTextDescriptionLabel, SS_LEFTNOWORDWRAP, label,
                IDC_SAVE_DESCRIPTION_LABEL);
    HWND edit = CreateChild(fileDialog, WS_EX_CLIENTEDGE, WC_EDITA, "", WS_TABSTOP | ES_AUTOHSCROLL,
                            combo, IDC_SAVE_DESCRIPTION);
    SendMessageA(edit, EM_LIMITTEXT, kSaveDescriptionCharacters, 0);
    return label.left;
}

// After the file dialog has arranged itself: tall enough for the moved row
// with margin below it, and centred over the compare dialog.
void FitFileDialog(HWND fileDialog, int margin) {
    int lowest = 0;
    for (HWND child = GetWindow(fileDialog, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect = RectInDialog(fileDialog, child);
        // The dialog itself is not shown yet: its children's own style says
        // which of them will be.
        bool shown = (GetWindowLongPtrA(child, GWL_STYLE) & WS_VISIBLE) != 0;
        if (shown && !IsRectEmpty(&rect) && rect.bottom > lowest)
            lowest = rect.bottom;
    }
    RECT client, window;
    GetClientRect(fileDialog, &client);
    GetWindowRect(fileDialog, &window);
    const int grow = lowest + margin - client.bottom;
    SetWindowPos(fileDialog, nullptr, 0, 0, window.right - window.left,
                 window.bottom - window.top + grow, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CenterOver(CompareState.CompareDialog, fileDialog);
}

// The field's first 31 characters, never half of one beyond the plane.
void TakeDescription(HWND fileDialog) {
    FillWords(SaveDescription, kSaveDescriptionSize, 0);
    wchar_t text[kSaveDescriptionCharacters + 1] = {};
    int length = GetDlgItemTextW(fileDialog, IDC_SAVE_DESCRIPTION, text,
                                 static_cast<int>(kSaveDescriptionCharacters + 1));
    if (length > 0 && IS_HIGH_SURROGATE(text[length - 1]))
        --length;
    CopyTextBounded(ProgramText(text, length > 0 ? length : 0).c_str(), SaveDescription,
                    kSaveDescriptionSize);
}

INT_PTR OnFileDialogNotify(HWND hook, const NMHDR* header) {
    HWND fileDialog = GetParent(hook);
    switch (header->code) {
    case CDN_INITDONE:
        FitFileDialog(fileDialog, static_cast<int>(GetWindowLongPtrA(hook, GWLP_USERDATA)));
        return TRUE;
    case CDN_FILEOK:
        TakeDescription(fileDialog);
        SetWindowLongPtrA(hook, DWLP_MSGRESULT, 0); // the name is accepted
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void SaveChangedExtensions() {
    char path[kTextSize] = {};
    if (!AskForFileName(path))
        return;
    // UTF-8 without a byte-order mark: a list of ASCII names is plain ASCII.
    const std::string text = Utf8Text(ComposeChangedExtensions(SaveDescription, ReadResultRows()));
    if (!WriteWholeFile(path, text))
        ReportSaveFailure(path);
}

UINT_PTR CALLBACK SaveDialogHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(hook, GWLP_USERDATA, AddDescriptionField(GetParent(hook)));
        return TRUE;
    case WM_NOTIFY:
        return OnFileDialogNotify(hook, reinterpret_cast<const NMHDR*>(lParam));
    default:
        return FALSE;
    }
}
