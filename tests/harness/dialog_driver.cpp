#include "harness/dialog_driver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace kvt {

namespace {

// Ids of the message box template (Windows and Wine alike).
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kMessageBoxIconIds[] = {0x14, 0x440};
// MN_GETHMENU: the menu a pop-up menu window shows.
constexpr UINT kGetMenuOfWindow = 0x01E1;

bool ClassIs(HWND window, const char* name) {
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    return lstrcmpiA(className, name) == 0;
}

bool IsMessageBox(HWND window) {
    return ClassIs(window, "#32770") && GetDlgItem(window, kMessageBoxTextId) != nullptr &&
           IsWindowVisible(window);
}

POINT Center(const RECT& rect) {
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// The window the open pop-up menu reports its choice to: the one told that a
// menu loop began. (Wine names the menu's own window as the menu owner.)
std::atomic<HWND> MenuOwner{nullptr};

LRESULT CALLBACK WatchMenuOwner(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_ENTERMENULOOP)
        MenuOwner = message->hwnd;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

constexpr UINT kRunActionMessage = WM_APP + 1;
constexpr char kActionWindowClass[] = "kvtActionWindow";

LRESULT CALLBACK ActionWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kRunActionMessage)
        return DefWindowProcA(window, message, wParam, lParam);
    std::unique_ptr<std::function<void()>> action(reinterpret_cast<std::function<void()>*>(lParam));
    (*action)();
    return 0;
}

// A message-only window: the dialogs' modal loops dispatch its messages, and
// it is no window of the program that CloseEverything would close.
HWND CreateActionWindow() {
    WNDCLASSA type = {};
    type.lpfnWndProc = ActionWindowProc;
    type.hInstance = GetModuleHandleA(nullptr);
    type.lpszClassName = kActionWindowClass;
    RegisterClassA(&type);
    return CreateWindowExA(0, kActionWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           type.hInstance, nullptr);
}

} // namespace

void RunDialog(const std::function<void()>& open, const std::function<void(User&)>& script) {
    std::atomic<bool> finished{false};
    User user(GetCurrentThreadId());
    MenuOwner = nullptr;
    HHOOK menuWatch =
        SetWindowsHookExA(WH_CALLWNDPROC, WatchMenuOwner, nullptr, GetCurrentThreadId());
    user.actionWindow_ = CreateActionWindow();
    std::thread driver([&] {
        script(user);
        // Whatever the script left open is closed, so open() returns.
        const DWORD deadline = GetTickCount() + 20000;
        while (!finished) {
            user.CloseEverything();
            Sleep(50);
            if (GetTickCount() > deadline) {
                fprintf(stderr, "kvt: the dialog did not close after the script ended\n");
                fflush(stderr);
                ExitProcess(3);
            }
        }
    });
    open();
    finished = true;
    driver.join();
    UnhookWindowsHookEx(menuWatch);
    DestroyWindow(user.actionWindow_);
}

bool User::WaitUntil(const std::function<bool()>& condition, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start > ms)
            return false;
        Sleep(10);
    }
}

std::vector<HWND> User::ProcessWindows() const {
    // Every top-level window of the program: dialogs run on the dialog thread,
    // but workers raise message boxes and file dialogs of their own.
    std::vector<HWND> windows;
    EnumWindows(
        [](HWND window, LPARAM list) {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == GetCurrentProcessId())
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HWND User::FindWindowNow(const std::string& caption) const {
    for (HWND window : ProcessWindows())
        if (IsWindowVisible(window) && Text(window) == caption)
            return window;
    return nullptr;
}

HWND User::FindMessageBoxNow() const {
    for (HWND window : ProcessWindows())
        if (IsMessageBox(window))
            return window;
    return nullptr;
}

HWND User::WaitForWindow(const std::string& caption, DWORD ms) {
    HWND found = nullptr;
    if (!WaitUntil([&] { return (found = FindWindowNow(caption)) != nullptr; }, ms))
        ADD_FAILURE() << "no window \"" << caption << "\" appeared";
    return found;
}

HWND User::WaitForDialogWith(int controlId, DWORD ms) {
    HWND found = nullptr;
    auto look = [&] {
        for (HWND window : ProcessWindows())
            if (IsWindowVisible(window) && ClassIs(window, "#32770") &&
                GetDlgItem(window, controlId)) {
                found = window;
                return true;
            }
        return false;
    };
    if (!WaitUntil(look, ms))
        ADD_FAILURE() << "no dialog with control " << controlId << " appeared";
    return found;
}

bool User::WaitGone(HWND window, DWORD ms) {
    bool gone = WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, ms);
    if (!gone)
        ADD_FAILURE() << "window \"" << Text(window) << "\" did not close";
    return gone;
}

MessageBoxInfo User::WaitForMessageBox(DWORD ms) {
    MessageBoxInfo info;
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = FindMessageBoxNow()) != nullptr; }, ms)) {
        ADD_FAILURE() << "no message box appeared";
        return info;
    }
    info.window = box;
    info.text = Text(box, kMessageBoxTextId);
    info.caption = Text(box);
    for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
        HWND button = GetDlgItem(box, id);
        if (button && IsWindowVisible(button))
            info.buttons.push_back(id);
    }
    for (int id : kMessageBoxIconIds) {
        HWND icon = GetDlgItem(box, id);
        if (icon && IsWindowVisible(icon) && SendMessageA(icon, STM_GETICON, 0, 0))
            info.hasIcon = true;
    }
    return info;
}

HMENU User::WaitForPopupMenu(DWORD ms) {
    HMENU menu = nullptr;
    auto look = [&] {
        HWND window = FindWindowA("#32768", nullptr);
        if (!window || !IsWindowVisible(window))
            return false;
        menu = reinterpret_cast<HMENU>(SendMessageA(window, kGetMenuOfWindow, 0, 0));
        return menu != nullptr;
    };
    if (!WaitUntil(look, ms))
        ADD_FAILURE() << "no pop-up menu appeared";
    return menu;
}

std::string User::Text(HWND window) {
    if (!window)
        return "<no window>";
    LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(strlen(text.c_str()));
    return text;
}

void User::SetText(HWND control, const std::string& text) {
    SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void User::Type(HWND control, const std::string& text) {
    ASSERT_TRUE(IsWindowEnabled(control) && IsWindowVisible(control)) << "cannot type there";
    for (unsigned char c : text)
        SendMessageA(control, WM_CHAR, c, 1);
}

void User::PressKey(UINT virtualKey, HWND window) {
    if (!window) {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(uiThread_, &info);
        window = info.hwndFocus ? info.hwndFocus : info.hwndActive;
    }
    ASSERT_NE(nullptr, window) << "no window has the keyboard focus";
    PostMessageA(window, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(window, WM_KEYUP, virtualKey, 0xC0000001);
}

void User::Click(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    ASSERT_NE(nullptr, button) << "no control " << id;
    ASSERT_TRUE(IsWindowVisible(button)) << "button " << id << " is hidden";
    ASSERT_TRUE(IsWindowEnabled(button))
        << "button " << id << " (" << Text(button) << ") is disabled";
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void User::ClickCheckBox(HWND dialog, int id) {
    HWND box = GetDlgItem(dialog, id);
    ASSERT_NE(nullptr, box) << "no check box " << id;
    ASSERT_TRUE(IsWindowEnabled(box));
    // An auto check box toggles itself and then tells its parent.
    LRESULT state = SendMessageA(box, BM_GETCHECK, 0, 0);
    SendMessageA(box, BM_SETCHECK, state == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(box));
}

void User::Close(HWND window) {
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void User::Answer(const MessageBoxInfo& box, int button) {
    ASSERT_NE(nullptr, box.window);
    HWND control = GetDlgItem(box.window, button);
    ASSERT_NE(nullptr, control) << "the message box has no button " << button;
    PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(control));
}

void User::SelectCombo(HWND dialog, int id, int index) {
    HWND combo = GetDlgItem(dialog, id);
    ASSERT_NE(nullptr, combo);
    ASSERT_TRUE(IsWindowEnabled(combo) && IsWindowVisible(combo));
    ASSERT_LT(index, static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0)));
    SendMessageA(combo, CB_SETCURSEL, index, 0);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

void User::SelectTab(HWND tabs, int index) {
    ASSERT_TRUE(IsWindowEnabled(tabs) && IsWindowVisible(tabs)) << "the tabs cannot be clicked";
    ASSERT_LT(index, static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0)));
    SendMessageA(tabs, TCM_SETCURSEL, index, 0);
    PostNotify(tabs, TCN_SELCHANGE, index, POINT{});
}

std::vector<std::string> User::ComboTexts(HWND combo) {
    std::vector<std::string> texts;
    int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, i, 0);
        std::string text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
        text.resize(strlen(text.c_str()));
        texts.push_back(text);
    }
    return texts;
}

int User::ListCount(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

std::string User::ListText(HWND list, int index) {
    char text[1024] = {};
    LVITEMA item = {};
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
    return text;
}

std::vector<std::string> User::ListTexts(HWND list) {
    std::vector<std::string> texts;
    for (int i = 0, count = ListCount(list); i < count; ++i)
        texts.push_back(ListText(list, i));
    return texts;
}

LPARAM User::ListParam(HWND list, int index) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.lParam;
}

int User::ListImage(HWND list, int index) {
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

int User::ListSelected(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
}

int User::ListFind(HWND list, const std::string& text) {
    LVFINDINFOA find = {};
    find.flags = LVFI_STRING;
    find.psz = text.c_str();
    return static_cast<int>(SendMessageA(list, LVM_FINDITEMA, -1, reinterpret_cast<LPARAM>(&find)));
}

bool User::ListItemVisible(HWND list, int index) {
    RECT item = {};
    item.left = LVIR_BOUNDS;
    if (!SendMessageA(list, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)))
        return false;
    RECT client;
    GetClientRect(list, &client);
    return item.top >= client.top && item.bottom <= client.bottom;
}

void User::SetCursorOver(HWND control, POINT clientPoint) {
    POINT screen = clientPoint;
    ClientToScreen(control, &screen);
    SetCursorPos(screen.x, screen.y);
}

void User::PostNotify(HWND control, UINT code, int item, POINT point) {
    auto record = std::make_unique<NMITEMACTIVATE>();
    ZeroMemory(record.get(), sizeof *record);
    record->hdr.hwndFrom = control;
    record->hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
    record->hdr.code = code;
    record->iItem = item;
    record->ptAction = point;
    PostMessageA(GetParent(control), WM_NOTIFY, record->hdr.idFrom,
                 reinterpret_cast<LPARAM>(record.get()));
    notifications_.push_back(std::move(record));
}

namespace {

POINT ListItemCenter(HWND list, int index) {
    RECT rect = {};
    rect.left = LVIR_LABEL;
    SendMessageA(list, LVM_ENSUREVISIBLE, index, FALSE);
    SendMessageA(list, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    return Center(rect);
}

void SelectListRow(HWND list, int index) {
    // A click selects the clicked row alone, also where several may be selected.
    if (!(GetWindowLongA(list, GWL_STYLE) & LVS_SINGLESEL)) {
        LVITEMA none = {};
        none.stateMask = LVIS_SELECTED;
        SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&none));
    }
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&state));
}

} // namespace

void User::ClickListItem(HWND list, int index) {
    ASSERT_TRUE(IsWindowVisible(list) && IsWindowEnabled(list)) << "the list cannot be clicked";
    ASSERT_LT(index, ListCount(list));
    POINT point = ListItemCenter(list, index);
    SetCursorOver(list, point);
    SelectListRow(list, index);
    PostNotify(list, NM_CLICK, index, point);
}

void User::DoubleClickListItem(HWND list, int index) {
    ASSERT_TRUE(IsWindowVisible(list) && IsWindowEnabled(list)) << "the list cannot be clicked";
    ASSERT_LT(index, ListCount(list));
    POINT point = ListItemCenter(list, index);
    SetCursorOver(list, point);
    SelectListRow(list, index);
    PostNotify(list, NM_DBLCLK, index, point);
}

void User::RightClickListItem(HWND list, int index) {
    ASSERT_TRUE(IsWindowVisible(list) && IsWindowEnabled(list)) << "the list cannot be clicked";
    ASSERT_LT(index, ListCount(list));
    POINT point = ListItemCenter(list, index);
    SetCursorOver(list, point);
    PostNotify(list, NM_RCLICK, index, point);
}

void User::ClickListAt(HWND list, POINT point, UINT code) {
    SetCursorOver(list, point);
    PostNotify(list, code, -1, point);
}

std::string User::TreeText(HWND tree, HTREEITEM handle) {
    char text[1024] = {};
    TVITEMA item = {};
    item.mask = TVIF_TEXT;
    item.hItem = handle;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return text;
}

HTREEITEM User::TreeNext(HWND tree, UINT relation, HTREEITEM item) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

std::vector<std::string> User::TreeChildren(HWND tree, HTREEITEM parent) {
    std::vector<std::string> texts;
    for (HTREEITEM child = TreeNext(tree, TVGN_CHILD, parent); child;
         child = TreeNext(tree, TVGN_NEXT, child))
        texts.push_back(TreeText(tree, child));
    return texts;
}

HTREEITEM User::TreeFind(HWND tree, const std::string& text) {
    for (HTREEITEM group = TreeNext(tree, TVGN_ROOT, nullptr); group;
         group = TreeNext(tree, TVGN_NEXT, group)) {
        if (TreeText(tree, group) == text)
            return group;
        for (HTREEITEM child = TreeNext(tree, TVGN_CHILD, group); child;
             child = TreeNext(tree, TVGN_NEXT, child))
            if (TreeText(tree, child) == text)
                return child;
    }
    return nullptr;
}

HTREEITEM User::TreeSelected(HWND tree) {
    return TreeNext(tree, TVGN_CARET, nullptr);
}

namespace {

POINT TreeItemCenter(HWND tree, HTREEITEM item) {
    SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    // TVM_GETITEMRECT takes the item in the rectangle it fills.
    union {
        RECT rect;
        HTREEITEM item;
    } request = {};
    request.item = item;
    SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&request.rect));
    return Center(request.rect);
}

} // namespace

void User::SelectTreeItem(HWND tree, HTREEITEM item) {
    ASSERT_NE(nullptr, item) << "no such tree item";
    ASSERT_TRUE(IsWindowVisible(tree) && IsWindowEnabled(tree)) << "the tree cannot be clicked";
    SetCursorOver(tree, TreeItemCenter(tree, item));
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

void User::DoubleClickTreeItem(HWND tree, HTREEITEM item) {
    ASSERT_NE(nullptr, item) << "no such tree item";
    ASSERT_TRUE(IsWindowVisible(tree) && IsWindowEnabled(tree)) << "the tree cannot be clicked";
    POINT point = TreeItemCenter(tree, item);
    SetCursorOver(tree, point);
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    PostNotify(tree, NM_DBLCLK, -1, point);
}

void User::RightClickTreeItem(HWND tree, HTREEITEM item) {
    ASSERT_NE(nullptr, item) << "no such tree item";
    ASSERT_TRUE(IsWindowVisible(tree) && IsWindowEnabled(tree)) << "the tree cannot be clicked";
    POINT point = TreeItemCenter(tree, item);
    SetCursorOver(tree, point);
    PostNotify(tree, NM_RCLICK, -1, point);
}

void User::RightClickTreeAt(HWND tree, POINT point) {
    SetCursorOver(tree, point);
    PostNotify(tree, NM_RCLICK, -1, point);
}

void User::FocusControl(HWND control) {
    // SetFocus works on the caller's thread only: the dialog thread does it.
    PostMessageA(GetParent(control), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

HWND User::FocusedControl() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(uiThread_, &info);
    return info.hwndFocus;
}

std::vector<MenuEntry> User::MenuEntries(HMENU menu) {
    std::vector<MenuEntry> entries;
    for (int i = 0, count = GetMenuItemCount(menu); i < count; ++i) {
        char text[256] = {};
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_SUBMENU | MIIM_FTYPE;
        info.dwTypeData = text;
        info.cch = sizeof text;
        GetMenuItemInfoA(menu, i, TRUE, &info);
        MenuEntry entry;
        entry.submenu = info.hSubMenu;
        entry.command = info.hSubMenu || (info.fType & MFT_SEPARATOR) ? 0 : info.wID;
        entry.text = text;
        entry.enabled = !(info.fState & (MFS_DISABLED | MFS_GRAYED));
        entries.push_back(entry);
    }
    return entries;
}

std::vector<std::string> User::MenuTexts(HMENU menu) {
    std::vector<std::string> texts;
    for (const MenuEntry& entry : MenuEntries(menu))
        texts.push_back(entry.text.empty() ? "-" : entry.text);
    return texts;
}

namespace {

bool MenuOffers(HMENU menu, UINT command) {
    for (const MenuEntry& entry : User::MenuEntries(menu)) {
        if (entry.submenu && MenuOffers(entry.submenu, command))
            return true;
        if (!entry.submenu && entry.command == command && entry.enabled && !entry.text.empty())
            return true;
    }
    return false;
}

} // namespace

void User::ChooseMenuCommand(UINT command) {
    HMENU menu = WaitForPopupMenu();
    ASSERT_NE(nullptr, menu);
    HWND menuWindow = FindWindowA("#32768", nullptr);
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(uiThread_, &info);
    HWND owner = MenuOwner ? MenuOwner.load() : info.hwndMenuOwner;
    ASSERT_TRUE(MenuOffers(menu, command)) << "the menu does not offer command " << command;
    ASSERT_NE(nullptr, owner) << "the menu has no owner";
    // The choice ends the menu loop and reaches the owner as a command, just
    // as a click on the entry does.
    PostMessageA(menuWindow, WM_KEYDOWN, VK_ESCAPE, 1);
    WaitUntil([] { return !IsWindowVisible(FindWindowA("#32768", nullptr)); });
    PostMessageA(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void User::DismissMenu() {
    HWND menuWindow = FindWindowA("#32768", nullptr);
    if (menuWindow && IsWindowVisible(menuWindow))
        PostMessageA(menuWindow, WM_KEYDOWN, VK_ESCAPE, 1);
    WaitUntil([] {
        HWND window = FindWindowA("#32768", nullptr);
        return !window || !IsWindowVisible(window);
    });
}

void User::CloseEverything() {
    HWND menuWindow = FindWindowA("#32768", nullptr);
    if (menuWindow && IsWindowVisible(menuWindow)) {
        PostMessageA(menuWindow, WM_KEYDOWN, VK_ESCAPE, 1);
        return;
    }
    for (HWND window : ProcessWindows()) {
        if (!IsWindowVisible(window))
            continue;
        if (IsMessageBox(window)) {
            for (int id : {IDCANCEL, IDNO, IDOK})
                if (GetDlgItem(window, id)) {
                    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
                    break;
                }
            continue;
        }
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
}

void User::RunOnDialogThread(std::function<void()> action) {
    auto* posted = new std::function<void()>(std::move(action));
    if (!PostMessageA(actionWindow_, kRunActionMessage, 0, reinterpret_cast<LPARAM>(posted)))
        delete posted;
}

} // namespace kvt
