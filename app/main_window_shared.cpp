#include "app/main_window_shared.h"

#include "app/about_box.h"
#include "platform/handles.h"
#include "records/app_state.h"
#include "app/entry_dialog.h"
#include "app/startup.h"
#include "catalogue/catalogue.h"
#include "ui/window_helpers.h"
#include "compare/compare_dialog.h"
#include "export/export_command.h"
#include "records/extension_record.h"
#include "openwith/openwith_editor.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "text/system_text.h"
#include "text/text.h"
#include "ui/list_items.h"
#include "ui/please_wait.h"
#include "writer/undo.h"

#include <commctrl.h>
#include <shellapi.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

// Etched rules of the details pane, in dialog units of the templates: above
// the "Extension:" row and above the program block.
constexpr int kRuleAboveExtension = 36;
constexpr int kRuleAboveProgram = 96;

// A folder too long to name the file beside it has no "Readme.txt" either:
// the folder itself is never opened in its place.
void OpenReadme(HWND window) {
    char path[kTextSize] = {};
    INT_PTR result = ERROR_FILE_NOT_FOUND;
    if (JoinTextsBounded(path, kTextSize, {AppState.AppDirectory, kReadmeFile}) &&
        FitsBuffer(path, kTextSize))
        result = reinterpret_cast<INT_PTR>(
            ShellExecuteA(window, kReadmeVerb, path, nullptr, nullptr, SW_SHOW));
    if (result == ERROR_FILE_NOT_FOUND || result == ERROR_PATH_NOT_FOUND)
        MessageBoxA(window, kTextReadmeMissing, nullptr, MB_OK | MB_ICONHAND);
}

// "Undo" names the change it takes back, and is greyed where there is none.
void ShowUndoInMenu(HMENU menu) {
    const std::string text =
        (CanUndo() ? std::string(kMenuUndo) + " " + LastChange().Title : kMenuUndo) + kKeyUndo;
    ModifyMenuA(menu, IDM_UNDO, MF_BYCOMMAND | MF_STRING | (CanUndo() ? MF_ENABLED : MF_GRAYED),
                IDM_UNDO, text.c_str());
}

// Takes the last change back: where another program changed its keys since,
// only once the user agrees, having been told which.
void RunUndo(HWND window) {
    if (!CanUndo())
        return;
    const std::vector<std::string> changed = ChangedSinceLastChange();
    if (!changed.empty()) {
        std::string question = kTextUndoChangedStart + LastChange().Title + kTextUndoChangedMiddle;
        for (const std::string& path : changed)
            question += path + "\r\n";
        question += kTextUndoChangedEnd;
        if (MessageBoxA(window, question.c_str(), kTextUndoCaption, MB_YESNO | MB_ICONWARNING) !=
            IDYES)
            return;
    }
    const std::string extension = LastChange().Extension;
    UndoLastChange();
    RunShellRefresh(window);
    if (!extension.empty())
        PlaceExtension(extension.c_str());
}

// The accelerator table and the filter that gives it the dialog's messages:
// a modal dialog's loop translates no keys itself.
AcceleratorOwner MainKeys;
HookOwner KeyFilter;

LRESULT CALLBACK FilterMainWindowKeys(int code, WPARAM wParam, LPARAM lParam) {
    auto* message = reinterpret_cast<MSG*>(lParam);
    // Only while the main window takes input: not under a window it opened.
    if (code == MSGF_DIALOGBOX && AppState.MainWindow && IsWindowEnabled(AppState.MainWindow) &&
        message->hwnd && GetAncestor(message->hwnd, GA_ROOT) == AppState.MainWindow &&
        TranslateAcceleratorA(AppState.MainWindow, MainKeys.get(), message))
        return TRUE;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// "Compare" and "Open With Editor".
HMENU BuildToolsMenu() {
    HMENU tools = CreatePopupMenu();
    AppendMenuA(tools, MF_STRING, IDM_COMPARE, kMenuCompare);
    AppendMenuA(tools, MF_STRING, IDM_OPENWITHEDITOR, kMenuOpenWithEditor);
    return tools;
}

// The main window's context menus, destroyed with their submenus when the
// window takes others or none.
MenuOwner ListMenu;
MenuOwner TreeMenu;

} // namespace

void SetMainWindowIcons(HWND window) {
    for (int size : {32, 16}) {
        auto icon = static_cast<HICON>(LoadImageA(AppState.Instance, MAKEINTRESOURCEA(IDI_PROGRAM),
                                                  IMAGE_ICON, size, size, 0));
        SendMessageA(window, WM_SETICON, size == 32 ? ICON_BIG : ICON_SMALL,
                     reinterpret_cast<LPARAM>(icon));
    }
}

void InsertCaptionTab(HWND tab, const char* text, int image) {
    SendMessageA(tab, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(AppState.Images16));
    HeapBlock block(AllocateHeapBlock(sizeof(TCITEMA)));
    auto* item = static_cast<TCITEMA*>(block.get());
    if (!item)
        return;
    item->mask = TCIF_TEXT | TCIF_IMAGE;
    item->pszText = const_cast<char*>(text);
    item->iImage = image;
    SendMessageA(tab, TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(item));
}

HMENU BuildContextMenu(const MenuEntryTemplate* entries, size_t count) {
    HMENU menu = CreatePopupMenu();
    for (size_t i = 0; i < count; ++i)
        AppendMenuA(
            menu, MF_STRING, entries[i].Command,
            (std::string(entries[i].Text) + (entries[i].Key ? entries[i].Key : "")).c_str());
    AppendMenuA(menu, MF_STRING, IDM_SEARCH, (std::string(kMenuSearch) + kKeySearch).c_str());
    AppendMenuA(menu, MF_STRING, IDM_UNDO, kMenuUndo);
    AppendMenuA(menu, MF_STRING, IDM_EXPORT, kMenuExport);
    AppendMenuA(menu, MF_STRING, IDM_EXPORTALL, kMenuExportAll);
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildToolsMenu()), kMenuTools);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, IDM_README, (std::string(kMenuReadme) + kKeyReadme).c_str());
    AppendMenuA(menu, MF_STRING, IDM_ABOUT, kMenuAbout);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, IDM_EXIT, kMenuExit);
    return menu;
}

void TakeContextMenus(HMENU list, HMENU tree) {
    ListMenu.reset(list);
    TreeMenu.reset(tree);
    AppState.ListMenu = list;
    AppState.TreeMenu = tree;
}

void TrackMenuAtCursor(HWND owner, HMENU menu) {
    POINT point;
    GetCursorPos(&point);
    TrackMenuAt(owner, menu, point);
}

void TrackMenuAt(HWND owner, HMENU menu, POINT screen) {
    ShowUndoInMenu(menu);
    TrackPopupMenu(menu, 0, screen.x, screen.y, 0, owner, nullptr);
}

INT_PTR OnListKeyboardMenu(HWND owner, HWND control, LPARAM position) {
    if (control != AppState.ExtensionList || !IsKeyboardMenu(position))
        return FALSE;
    TrackMenuAt(owner, AppState.ListMenu,
                ListRowMenuPoint(control, ListView_GetNextItem(control, -1, LVNI_FOCUSED)));
    return TRUE;
}

int ListItemAtCursor() {
    return ListRowAt(AppState.ExtensionList, CursorIn(AppState.ExtensionList));
}

void TakeListItem(int index) {
    FillWords(CurrentExtension, kNameSize, 0);
    LVITEMA item = {};
    item.iSubItem = 0;
    item.pszText = CurrentExtension;
    item.cchTextMax = kExtensionNameSize;
    SendMessageA(AppState.ExtensionList, LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
    AppState.CurrentListIndex = index;
}

bool RunSharedCommand(HWND window, WPARAM command) {
    switch (command) {
    case IDM_README:
        OpenReadme(window);
        return true;
    case IDM_EXIT:
        SendMessageA(window, WM_CLOSE, 0, 0);
        return true;
    case IDM_SEARCH:
        RunFindDialog();
        return true;
    case IDM_COMPARE:
        RunCompareDialog();
        return true;
    case IDM_OPENWITHEDITOR:
        RunOpenWithEditor();
        return true;
    case IDM_ABOUT:
        RunAboutBox();
        return true;
    case IDM_UNDO:
        RunUndo(window);
        return true;
    case IDM_EXPORT:
        ExportExtension(window);
        return true;
    case IDM_EXPORTALL:
        ExportAllExtensions(window);
        return true;
    default:
        return false;
    }
}

void StartMainWindowKeys(HWND) {
    MainKeys.reset(LoadAcceleratorsA(AppState.Instance, MAKEINTRESOURCEA(IDR_MAIN_KEYS)));
    KeyFilter.reset(
        SetWindowsHookExA(WH_MSGFILTER, FilterMainWindowKeys, nullptr, GetCurrentThreadId()));
}

void StopMainWindowKeys() {
    KeyFilter.reset();
    MainKeys.reset();
}

void FollowDpiChange(HWND window, WPARAM wParam, LPARAM lParam) {
    const auto* suggested = reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(window, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    FillSmallImages(HIWORD(wParam));
    InvalidateRect(window, nullptr, TRUE);
}

void PaintDetailsRules(HWND window, int left, int right) {
    PaintScope paint(window);
    DrawEtchedLineInUnits(window, paint.dc(), right, left, kRuleAboveExtension);
    DrawEtchedLineInUnits(window, paint.dc(), right, left, kRuleAboveProgram);
}
