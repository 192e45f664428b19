// The icon picker: a hook on the Explorer-style open-file dialog hides the
// file-name row and "Open", adds the icon list and reacts to the selection.
#include "editor/icon_picker.h"

#include "platform/handles.h"
#include "platform/shell.h"
#include "records/app_state.h"
#include "ui/app_ui.h"
#include "ui/window_helpers.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "text/system_text.h"
#include "text/text.h"

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <initializer_list>
#include <string>

namespace {

// The icon list, in pixels: right of the dialog's own controls, which the
// dialog grows to make room for.
constexpr int kIconListTop = 5;
constexpr int kIconListWidth = 160;
constexpr int kIconListHeight = 205;
constexpr int kDialogGrowth = kIconListWidth + 5;
constexpr int kBottomMargin = 5;
constexpr DWORD kIconListStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_VSCROLL | LVS_ICON |
                                 LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS;
// The icons' size for the picker's monitor, set when it opens; the list's
// place, in pixels at 96 dots per inch.
int LargeIconSize = 32;
// Labels of string-named icon groups hold at most 49 characters.
constexpr size_t kLabelSize = 50;
constexpr UINT kTakenState = LVIS_SELECTED | LVIS_FOCUSED;
// WM_GETISHELLBROWSER: the file dialog's shell browser, not in every SDK's headers.
constexpr UINT kGetShellBrowser = WM_USER + 7;

// The full path of the file selected in the dialog.
char PickerFilePath[kTextSize];
HWND PickerIconList;
// The General page, whose header font the icon list takes.
HWND PickerOwner;
// The location taken; empty until one is.
std::string PickedLocation;

// Puts control at the height of place, keeping its x and size: the file-type
// row and "Cancel" move up into the places of the hidden file-name row and
// "Open", whatever the dialog's own layout.
void MoveIntoPlaceOf(HWND dialog, int id, int place) {
    HWND control = GetDlgItem(dialog, id);
    HWND hidden = GetDlgItem(dialog, place);
    if (!control || !hidden)
        return;
    RECT from = RectInDialog(dialog, control);
    RECT to = RectInDialog(dialog, hidden);
    SetWindowPos(control, nullptr, from.left, to.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CreateIconList(HWND hook, HWND dialog, HWND owner) {
    RECT client;
    GetClientRect(dialog, &client);
    // Created as the hook's child, so that its notifications reach the hook,
    // then shown in the dialog itself.
    const UINT dpi = WindowDpi(dialog);
    PickerIconList =
        CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", kIconListStyle, client.right,
                        ScaleToDpi(kIconListTop, dpi), ScaleToDpi(kIconListWidth, dpi),
                        ScaleToDpi(kIconListHeight, dpi), hook,
                        reinterpret_cast<HMENU>(IDC_PICKER_ICONS), AppUi.Instance, nullptr);
    LRESULT headerFont = SendDlgItemMessageA(owner, IDC_GENERAL_ICON_HEADER, WM_GETFONT, 0, 0);
    SendMessageA(PickerIconList, WM_SETFONT, static_cast<WPARAM>(headerFont), FALSE);
    LargeIconSize = MetricForDpi(SM_CXICON, dpi);
    ImageList_SetIconSize(AppUi.Images32, LargeIconSize, LargeIconSize);
    SendMessageA(PickerIconList, LVM_SETIMAGELIST, LVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(AppUi.Images32));
    SetParent(PickerIconList, dialog);
}

// The dialog grows by the icon list's width and ends below its lowest control.
void ResizeDialog(HWND dialog) {
    RECT window, client;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    int bottom = 0;
    for (int id : {cmb1, IDCANCEL}) {
        HWND control = GetDlgItem(dialog, id);
        if (control && IsWindowVisible(control))
            bottom = std::max(bottom, static_cast<int>(RectInDialog(dialog, control).bottom));
    }
    bottom = std::max(bottom, static_cast<int>(RectInDialog(dialog, PickerIconList).bottom));
    const int frameWidth = (window.right - window.left) - client.right;
    const int frameHeight = (window.bottom - window.top) - client.bottom;
    SetWindowPos(dialog, nullptr, 0, 0,
                 client.right + ScaleToDpi(kDialogGrowth, WindowDpi(dialog)) + frameWidth,
                 bottom + kBottomMargin + frameHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Done when the dialog has laid out its own controls.
void ArrangeDialog(HWND hook) {
    HWND dialog = GetParent(hook);
    MoveIntoPlaceOf(dialog, stc2, stc3);
    MoveIntoPlaceOf(dialog, cmb1, edt1);
    MoveIntoPlaceOf(dialog, IDCANCEL, IDOK);
    for (int id : {IDOK, edt1, stc3})
        SendMessageA(dialog, CDM_HIDECONTROL, id, 0);
    CreateIconList(hook, dialog, PickerOwner);
    ResizeDialog(dialog);
    CenterOver(GetWindow(GetAncestor(PickerOwner, GA_ROOT), GW_OWNER), dialog);
}

// One icon group: its icon at 32 x 32 and its name. Items are numbered in the
// order the groups are enumerated; that number is the icon index taken.
BOOL CALLBACK AddIconItem(HMODULE module, LPCSTR, LPSTR name, LONG_PTR) {
    IconOwner icon(
        static_cast<HICON>(LoadImageA(module, name, IMAGE_ICON, LargeIconSize, LargeIconSize, 0)));
    // A group whose icon does not load keeps its place, without an image.
    const int image = icon ? ImageList_ReplaceIcon(AppUi.Images32, -1, icon.get()) : I_IMAGENONE;
    char label[kLabelSize] = {};
    if (IS_INTRESOURCE(name))
        FormatDecimal(static_cast<int32_t>(reinterpret_cast<ULONG_PTR>(name)), label);
    else
        CopyTextBounded(name, label, kLabelSize);
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = static_cast<int>(SendMessageA(PickerIconList, LVM_GETITEMCOUNT, 0, 0));
    item.iImage = image;
    item.pszText = label;
    SendMessageA(PickerIconList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return TRUE;
}

void FillIconList() {
    ImageList_Remove(AppUi.Images32, -1);
    SendMessageA(PickerIconList, LVM_DELETEALLITEMS, 0, 0);
    if (!PickerFilePath[0] || PathIsDirectoryA(PickerFilePath))
        return;
    // The module is loaded first, as an image, which the loader refuses when
    // the file is not whole: the icon counter of some systems (Wine's) reads
    // past the end of a truncated program.
    if (!ShellIsWholeIconSource(PickerFilePath))
        return;
    ModuleOwner module(LoadLibraryExA(PickerFilePath, nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (module && reinterpret_cast<UINT_PTR>(
                      ExtractIconA(AppUi.Instance, PickerFilePath, static_cast<UINT>(-1))) != 0)
        EnumResourceNamesA(module.get(), RT_GROUP_ICON, AddIconItem, 0);
}

// The file the dialog is about to open.
void ReadOpenedFile(HWND hook) {
    FillWords(PickerFilePath, kTextSize, 0);
    SendMessageA(GetParent(hook), CDM_GETFILEPATH, kTextSize,
                 reinterpret_cast<LPARAM>(PickerFilePath));
}

// The path of the data object's one item; false unless exactly one.
bool PathOfOneItem(IDataObject* data, char* path) {
    FORMATETC format = {static_cast<CLIPFORMAT>(RegisterClipboardFormatA(CFSTR_SHELLIDLIST)),
                        nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&format, &medium)))
        return false;
    bool found = false;
    const auto* items = static_cast<const CIDA*>(GlobalLock(medium.hGlobal));
    if (items && items->cidl == 1) {
        const BYTE* base = reinterpret_cast<const BYTE*>(items);
        PIDLIST_ABSOLUTE item =
            ILCombine(reinterpret_cast<PCIDLIST_ABSOLUTE>(base + items->aoffset[0]),
                      reinterpret_cast<PCUIDLIST_RELATIVE>(base + items->aoffset[1]));
        char full[kTextSize + MAX_PATH] = {};
        found = item && SHGetPathFromIDListA(item, full);
        found = found && FitsBuffer(full, kTextSize);
        if (found)
            CopyTextBounded(full, path, kTextSize);
        ILFree(item);
    }
    if (items)
        GlobalUnlock(medium.hGlobal);
    ReleaseStgMedium(&medium);
    return found;
}

// The item selected in the folder view, file or folder; empty when none or
// several are. (The dialog's own file path keeps naming the last file
// selected while a folder is selected.)
void ReadSelection(HWND hook) {
    FillWords(PickerFilePath, kTextSize, 0);
    auto* browser =
        reinterpret_cast<IShellBrowser*>(SendMessageA(GetParent(hook), kGetShellBrowser, 0, 0));
    IShellView* shown = nullptr;
    if (!browser || FAILED(browser->QueryActiveShellView(&shown)))
        return;
    ComOwner<IShellView> view(shown);
    IDataObject* selection = nullptr;
    if (SUCCEEDED(view.get()->GetItemObject(SVGIO_SELECTION, IID_IDataObject,
                                            reinterpret_cast<void**>(&selection))))
        PathOfOneItem(ComOwner<IDataObject>(selection).get(), PickerFilePath);
}

void TakeListIcon(HWND hook, int index) {
    char number[16] = {};
    FormatDecimal(index, number);
    char location[kTextSize + 16];
    if (!JoinTextsBounded(location, sizeof location, {PickerFilePath, ",", number}) ||
        !FitsBuffer(location, kNameSize))
        return;
    PickedLocation = location;
    PostMessageA(GetParent(hook), WM_CLOSE, 0, 0);
}

// An icon file is taken as it is; any other file is refused, since its icons
// are taken from the list.
bool AcceptOpenedFile(HWND hook) {
    ReadOpenedFile(hook);
    // A path too long to keep is refused rather than kept cut.
    if (CompareNoCase(PathFindExtensionA(PickerFilePath), kIconFileExtension) != 0 ||
        !FitsBuffer(PickerFilePath, kNameSize))
        return false;
    PickedLocation = PickerFilePath;
    return true;
}

INT_PTR OnNotify(HWND hook, const NMHDR* header) {
    if (header->hwndFrom == PickerIconList) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
        if (header->code == LVN_ITEMCHANGING && (change->uNewState & kTakenState) == kTakenState)
            TakeListIcon(hook, change->iItem);
        return FALSE;
    }
    switch (header->code) {
    case CDN_INITDONE:
        ArrangeDialog(hook);
        return FALSE;
    case CDN_SELCHANGE:
        ReadSelection(hook);
        FillIconList();
        return FALSE;
    case CDN_FILEOK:
        SetWindowLongPtrA(hook, DWLP_MSGRESULT, AcceptOpenedFile(hook) ? 0 : 1);
        return TRUE;
    default:
        return FALSE;
    }
}

UINT_PTR CALLBACK IconPickerHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(hook, reinterpret_cast<const NMHDR*>(lParam));
    default:
        return FALSE;
    }
}

} // namespace

bool BrowseForIcons(HWND owner, const std::string& folder, std::string* location) {
    char file[kTextSize] = {};
    char start[kTextSize] = {};
    CopyTextBounded(folder.empty() ? AppState.AppDirectory : folder.c_str(), start, kTextSize);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = owner;
    dialog.hInstance = AppUi.Instance;
    dialog.lpstrFilter = kIconPickerFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = kTextSize;
    dialog.lpstrInitialDir = start;
    dialog.lpstrTitle = kTextBrowseForIcons;
    dialog.Flags =
        OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_ENABLEHOOK | OFN_HIDEREADONLY;
    dialog.lpfnHook = IconPickerHook;
    PickerIconList = nullptr;
    PickerOwner = owner;
    PickedLocation.clear();
    GetOpenFileNameA(&dialog);
    *location = PickedLocation;
    return !PickedLocation.empty();
}
