#include "app/main_window_shared.h"

#include "app/about_box.h"
#include "app/startup.h"
#include "compare/compare_dialog.h"
#include "details/readers.h"
#include "export/export_command.h"
#include "openwith/openwith_editor.h"
#include "platform/registry_layout.h"
#include "problems/problems_window.h"
#include "platform/shell.h"
#include "records/app_state.h"
#include "ui/app_ui.h"
#include "ui/window_helpers.h"
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
// only once the user agrees, having been told which. An undo the system
// refuses is said, and stays to be undone.
void RunUndo(MainWindow& main) {
    HWND window = main.Window;
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
    const std::vector<std::string> placed = ExtensionsOf(LastChange());
    if (!ChangeDone(main, UndoLastChange()))
        return;
    RunShellRefresh(window);
    // A change of several extensions (a mend) places each; its own, last.
    for (const std::string& other : placed)
        if (other != extension)
            PlaceExtension(main.Catalogue, other.c_str());
    if (extension.empty())
        return;
    main.CurrentTreeItem = PlaceExtension(main.Catalogue, extension.c_str());
    // An item back in a list shows with its list's tab.
    if (!main.CurrentTreeItem && ShownList(main) != ListOf(main.Catalogue, extension.c_str()) &&
        IsRegisteredType(RunMode::Admin, extension.c_str()))
        ShowListTab(main, ListTabOf(extension.c_str()));
}

// The accelerator table and the filter that gives it the dialog's messages:
// a modal dialog's loop translates no keys itself. One main window runs at a
// time.
AcceleratorOwner MainKeys;
HookOwner KeyFilter;
HWND KeysWindow;

LRESULT CALLBACK FilterMainWindowKeys(int code, WPARAM wParam, LPARAM lParam) {
    auto* message = reinterpret_cast<MSG*>(lParam);
    // Only while the main window takes input: not under a window it opened.
    if (code == MSGF_DIALOGBOX && KeysWindow && IsWindowEnabled(KeysWindow) && message->hwnd &&
        GetAncestor(message->hwnd, GA_ROOT) == KeysWindow &&
        TranslateAcceleratorA(KeysWindow, MainKeys.get(), message))
        return TRUE;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// "Compare", "Open With Editor" and "Problems...".
HMENU BuildToolsMenu() {
    HMENU tools = CreatePopupMenu();
    AppendMenuA(tools, MF_STRING, IDM_COMPARE, kMenuCompare);
    AppendMenuA(tools, MF_STRING, IDM_OPENWITHEDITOR, kMenuOpenWithEditor);
    AppendMenuA(tools, MF_STRING, IDM_PROBLEMS,
                (std::string(kMenuProblems) + kKeyProblems).c_str());
    return tools;
}

} // namespace

MainWindow& MainWindowOf(HWND window) {
    return *reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, DWLP_USER));
}

MainWindow& TakeMainWindow(HWND window, LPARAM parameter) {
    SetWindowLongPtrA(window, DWLP_USER, parameter);
    MainWindow& main = MainWindowOf(window);
    main.Window = window;
    main.Catalogue.Mode = main.Mode;
    main.Catalogue.Window = window;
    return main;
}

void ShowExtension(MainWindow& main, const std::string& extension) {
    main.CurrentExtension = extension;
    // The reader and the pane ask the shell many questions about the same
    // class and verbs.
    ShellReadScope scope;
    ShowFileType(main.Pane, ReadFileTypeShown(extension, main.Mode), main.Mode);
}

FileType ReadCurrent(const MainWindow& main) {
    return ReadFileType(main.CurrentExtension, main.Mode);
}

bool ChangeDone(const MainWindow& main, const ChangeOutcome& outcome) {
    if (!outcome.Done())
        MessageBoxA(main.Window, DescribeRefusal(outcome).c_str(), kCaptionRefused,
                    MB_OK | MB_ICONHAND);
    return outcome.Done();
}

void SetMainWindowIcons(HWND window) {
    for (int size : {32, 16}) {
        auto icon = static_cast<HICON>(
            LoadImageA(AppUi.Instance, MAKEINTRESOURCEA(IDI_PROGRAM), IMAGE_ICON, size, size, 0));
        SendMessageA(window, WM_SETICON, size == 32 ? ICON_BIG : ICON_SMALL,
                     reinterpret_cast<LPARAM>(icon));
    }
}

void InsertCaptionTab(HWND tab, const char* text, int image) {
    SendMessageA(tab, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(AppUi.Images16));
    HeapBlock block(AllocateHeapBlock(sizeof(TCITEMA)));
    auto* item = static_cast<TCITEMA*>(block.get());
    if (!item)
        return;
    item->mask = TCIF_TEXT | TCIF_IMAGE;
    item->pszText = const_cast<char*>(text);
    item->iImage = image;
    SendMessageA(tab, TCM_INSERTITEMA, SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0),
                 reinterpret_cast<LPARAM>(item));
}

HWND ShownList(const MainWindow& main) {
    return SendMessageA(main.ListTabs, TCM_GETCURSEL, 0, 0) == 1 ? main.Catalogue.Links
                                                                 : main.Catalogue.List;
}

int ListTabOf(const char* name) {
    return IsLinkName(name) ? 1 : 0;
}

void ShowListTab(MainWindow& main, int tab) {
    SendMessageA(main.ListTabs, TCM_SETCURSEL, tab, 0);
    HWND shown = ShownList(main);
    ShowWindow(shown == main.Catalogue.List ? main.Catalogue.Links : main.Catalogue.List, SW_HIDE);
    ShowWindow(shown, SW_SHOW);
    int row = ListView_GetNextItem(shown, -1, LVNI_SELECTED);
    if (row < 0 && ListCount(shown) > 0)
        SetListItemState(shown, row = 0, LVIS_SELECTED | LVIS_FOCUSED);
    SetFocus(shown);
    if (row < 0) {
        ClearDetails(main.Pane);
        main.CurrentExtension.clear();
        return;
    }
    TakeListItem(main, row);
    ShowExtension(main, main.CurrentExtension);
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

void TrackMenuAtCursor(const MainWindow& main, HMENU menu) {
    POINT point;
    GetCursorPos(&point);
    TrackMenuAt(main, menu, point);
}

void TrackMenuAt(const MainWindow& main, HMENU menu, POINT screen) {
    ShowUndoInMenu(menu);
    TrackPopupMenu(menu, 0, screen.x, screen.y, 0, main.Window, nullptr);
}

INT_PTR OnListKeyboardMenu(MainWindow& main, HWND control, LPARAM position) {
    if (control != ShownList(main) || !IsKeyboardMenu(position))
        return FALSE;
    TrackMenuAt(main, main.ListMenu.get(),
                ListRowMenuPoint(control, ListView_GetNextItem(control, -1, LVNI_FOCUSED)));
    return TRUE;
}

int ListItemAtCursor(const MainWindow& main) {
    return ListRowAt(ShownList(main), CursorIn(ShownList(main)));
}

void TakeListItem(MainWindow& main, int index) {
    char text[kExtensionNameSize] = {};
    LVITEMA item = {};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = kExtensionNameSize;
    SendMessageA(ShownList(main), LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
    main.CurrentExtension = text;
    main.CurrentListIndex = index;
}

bool RunSharedCommand(MainWindow& main, WPARAM command) {
    HWND window = main.Window;
    switch (command) {
    case IDM_README:
        OpenReadme(window);
        return true;
    case IDM_EXIT:
        SendMessageA(window, WM_CLOSE, 0, 0);
        return true;
    case IDM_COMPARE:
        RunCompareDialog(window);
        return true;
    case IDM_OPENWITHEDITOR:
        RunOpenWithEditor(window, main.Mode);
        return true;
    case IDM_ABOUT:
        RunAboutBox(window);
        return true;
    case IDM_UNDO:
        RunUndo(main);
        return true;
    case IDM_EXPORT:
        ExportExtension(window, main.CurrentExtension, main.Mode);
        return true;
    case IDM_EXPORTALL:
        ExportAllExtensions(window, main.Mode);
        return true;
    case IDM_SWITCHLIST:
        ShowListTab(main, ShownList(main) == main.Catalogue.Links ? 0 : 1);
        return true;
    default:
        return false;
    }
}

HWND RunProblems(MainWindow& main, std::string* action) {
    const ProblemsOutcome outcome = RunProblemsWindow(main.Window, main.Mode);
    if (!outcome.Mended.empty())
        RunShellRefresh(main.Window);
    for (const std::string& extension : outcome.Mended)
        PlaceExtension(main.Catalogue, extension.c_str());
    if (outcome.Mended.empty() && !main.CurrentExtension.empty())
        ShowExtension(main, main.CurrentExtension);
    *action = outcome.Action;
    return outcome.Extension.empty() ? nullptr : SelectType(main, outcome.Extension);
}

HWND SelectType(MainWindow& main, const std::string& name) {
    HWND control = SelectInCatalogue(main.Catalogue, name.c_str());
    // A list's row shows with its list's tab, which shows its details.
    if (control && control != main.Catalogue.Tree)
        ShowListTab(main, ListTabOf(name.c_str()));
    if (control)
        SetFocus(control);
    return control;
}

void StartMainWindowKeys(HWND window) {
    KeysWindow = window;
    MainKeys.reset(LoadAcceleratorsA(AppUi.Instance, MAKEINTRESOURCEA(IDR_MAIN_KEYS)));
    KeyFilter.reset(
        SetWindowsHookExA(WH_MSGFILTER, FilterMainWindowKeys, nullptr, GetCurrentThreadId()));
}

void StopMainWindowKeys() {
    KeyFilter.reset();
    MainKeys.reset();
    KeysWindow = nullptr;
}

void CloseMainWindow(MainWindow& main) {
    StopMainWindowKeys();
    main.ListMenu.reset();
    main.TreeMenu.reset();
    EndDialog(main.Window, 0);
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
