// The user who drives the program's dialogs from a second thread.
#include "harness/kvt.h"

#include "app/startup.h"
#include "records/app_state.h"
#include "resources/resource.h"

#include <dlgs.h>

#include <algorithm>
#include <atomic>
#include <thread>

namespace kvt {

namespace {

constexpr int kMessageBoxTextId = 0xFFFF;
// MN_GETHMENU: the menu a pop-up menu window shows.
constexpr UINT kGetMenuOfWindow = 0x01E1;
constexpr UINT kRunActionMessage = WM_APP + 1;

bool ClassIs(HWND window, const char* name) {
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    return lstrcmpiA(className, name) == 0;
}

bool IsBox(HWND window) {
    return ClassIs(window, "#32770") && GetDlgItem(window, kMessageBoxTextId);
}

HWND MenuWindow() {
    HWND window = FindWindowA("#32768", nullptr);
    return window && IsWindowVisible(window) ? window : nullptr;
}

// The window a pop-up menu reports its choice to: the one told that a menu
// loop began (Wine names the menu's own window as its owner).
std::atomic<HWND> g_menuOwner{nullptr};

LRESULT CALLBACK WatchMenuOwner(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_ENTERMENULOOP)
        g_menuOwner = message->hwnd;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK ActionWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunActionMessage)
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
    return DefWindowProcA(window, message, wParam, lParam);
}

// Every tree item with its text, depth first.
std::vector<std::pair<HTREEITEM, std::string>> TreeItems(HWND tree) {
    std::vector<std::pair<HTREEITEM, std::string>> items;
    std::function<void(HTREEITEM)> add = [&](HTREEITEM at) {
        for (; at; at = TreeView_GetNextSibling(tree, at)) {
            char text[1024] = {};
            TVITEMA item = {TVIF_TEXT, at};
            item.pszText = text;
            item.cchTextMax = sizeof text;
            TreeView_GetItem(tree, &item);
            items.emplace_back(at, text);
            add(TreeView_GetChild(tree, at));
        }
    };
    add(TreeView_GetRoot(tree));
    return items;
}

} // namespace

void RunDialog(const std::function<void()>& open, const std::function<void(User&)>& script) {
    std::atomic<bool> finished{false};
    User user(GetCurrentThreadId());
    g_menuOwner = nullptr;
    HHOOK watch = SetWindowsHookExA(WH_CALLWNDPROC, WatchMenuOwner, nullptr, GetCurrentThreadId());
    WNDCLASSA type = {};
    type.lpfnWndProc = ActionWindowProc;
    type.lpszClassName = "kvtActions";
    RegisterClassA(&type);
    user.actionWindow_ = CreateWindowExA(0, "kvtActions", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                         nullptr, nullptr);
    std::thread driver([&] {
        script(user);
        for (const DWORD deadline = GetTickCount() + 20000; !finished; Sleep(50)) {
            user.CloseEverything();
            if (GetTickCount() > deadline) {
                fprintf(stderr, "kvt: the dialog did not close after the script ended\n");
                ExitProcess(3);
            }
        }
    });
    open();
    finished = true;
    driver.join();
    UnhookWindowsHookEx(watch);
    DestroyWindow(user.actionWindow_);
}

bool User::Wait(const std::function<bool()>& condition, DWORD ms) {
    for (const DWORD start = GetTickCount(); !condition(); Sleep(10))
        if (GetTickCount() - start > ms)
            return false;
    return true;
}

HWND User::Find(const std::function<bool(HWND)>& wanted) {
    using Search = std::pair<const std::function<bool(HWND)>*, HWND>;
    Search search = {&wanted, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* search = reinterpret_cast<Search*>(data);
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
                (*search->first)(window))
                search->second = window;
            return !search->second;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

HWND User::WaitForWindow(const std::function<bool(HWND)>& wanted, const std::string& what,
                         DWORD ms) {
    HWND found = nullptr;
    EXPECT_TRUE(Wait([&] { return (found = Find(wanted)) != nullptr; }, ms))
        << "no " << what << " appeared";
    return found;
}

HWND User::WaitFor(const std::string& caption, DWORD ms) {
    return WaitForWindow([&](HWND w) { return Text(w) == caption; }, "\"" + caption + "\"", ms);
}

HWND User::WaitForControl(int id) {
    return WaitForWindow([&](HWND w) { return ClassIs(w, "#32770") && GetDlgItem(w, id); },
                         "dialog with control " + std::to_string(id));
}

HWND User::FindBox() {
    return Find(IsBox);
}

HWND User::WaitForBox(std::string* text) {
    HWND box = WaitForWindow(IsBox, "message box");
    if (text)
        *text = Text(box, kMessageBoxTextId);
    return box;
}

bool User::WaitGone(HWND window) {
    const bool gone = Wait([&] { return !IsWindow(window) || !IsWindowVisible(window); });
    EXPECT_TRUE(gone) << "\"" << Text(window) << "\" did not close";
    return gone;
}

HMENU User::WaitForMenu() {
    HMENU menu = nullptr;
    EXPECT_TRUE(Wait([&] {
        return MenuWindow() && (menu = (HMENU)SendMessageA(MenuWindow(), kGetMenuOfWindow, 0, 0));
    })) << "no pop-up menu appeared";
    return menu;
}

void User::Click(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    ASSERT_TRUE(control && IsWindowVisible(control) && IsWindowEnabled(control))
        << "control " << id << " cannot be clicked";
    if ((GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX)
        SendMessageA(control, BM_SETCHECK, !SendMessageA(control, BM_GETCHECK, 0, 0), 0);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

void User::Type(HWND edit, const std::string& text) {
    ASSERT_TRUE(IsWindowEnabled(edit) && IsWindowVisible(edit)) << "cannot type there";
    SendMessageA(edit, EM_SETSEL, 0, -1);
    // Typed characters arrive as the system's UTF-16, one code unit a message.
    for (wchar_t unit : L'\b' + Wide(text))
        SendMessageW(edit, WM_CHAR, unit, 1);
}

void User::Key(HWND window, UINT key) {
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

// The modifier is held on the dialog thread until the key has been handled.
void User::Chord(HWND window, UINT modifier, UINT key, UINT also) {
    auto hold = [modifier, also](BYTE state) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[modifier] = state;
        keys[also] = also ? state : keys[also];
        SetKeyboardState(keys);
    };
    Do([&] { hold(0x80); });
    Key(window, key);
    std::atomic<bool> released{false};
    release_ = [&] {
        hold(0);
        released = true;
    };
    PostMessageA(actionWindow_, kRunActionMessage, 0, reinterpret_cast<LPARAM>(&release_));
    Wait([&] { return released.load(); });
}

void User::Close(HWND window) {
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void User::Answer(HWND box, int button) {
    Click(box, button);
    WaitGone(box);
}

void User::Choose(UINT command) {
    HMENU menu = WaitForMenu();
    std::function<bool(HMENU)> offers = [&](HMENU in) {
        for (int i = 0; i < GetMenuItemCount(in); ++i)
            if ((GetSubMenu(in, i) && offers(GetSubMenu(in, i))) ||
                (GetMenuItemID(in, i) == command &&
                 !(GetMenuState(in, i, MF_BYPOSITION) & (MF_DISABLED | MF_GRAYED))))
                return true;
        return false;
    };
    ASSERT_TRUE(menu && offers(menu)) << "the menu does not offer command " << command;
    GUITHREADINFO info = {sizeof info};
    GetGUIThreadInfo(uiThread_, &info);
    HWND owner = g_menuOwner ? g_menuOwner.load() : info.hwndMenuOwner;
    // The choice ends the menu loop and reaches the owner as a command.
    Dismiss();
    PostMessageA(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void User::Dismiss() {
    if (HWND menu = MenuWindow())
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 1);
    Wait([] { return !MenuWindow(); });
}

void User::Select(HWND control, int index) {
    ASSERT_TRUE(IsWindowEnabled(control) && IsWindowVisible(control)) << "cannot select there";
    if (ClassIs(control, WC_TABCONTROLA)) {
        SendMessageA(control, TCM_SETCURSEL, index, 0);
        return Notify(control, TCN_SELCHANGE, index, {});
    }
    SendMessageA(control, CB_SETCURSEL, index, 0);
    PostMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(control));
}

void User::Select(HWND combo, const std::string& item) {
    const std::vector<std::string> items = Items(combo);
    const auto found = std::find(items.begin(), items.end(), item);
    ASSERT_NE(items.end(), found) << "no item \"" << item << "\"";
    Select(combo, static_cast<int>(found - items.begin()));
}

void User::Focus(HWND control) {
    PostMessageA(GetParent(control), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    Do([] {});
}

void User::Act(HWND control, const std::string& text, UINT code) {
    ASSERT_TRUE(IsWindowVisible(control) && IsWindowEnabled(control)) << "cannot act there";
    RECT rect = {LVIR_LABEL};
    int index = -1;
    HTREEITEM item = nullptr;
    if (ClassIs(control, WC_LISTVIEWA)) {
        LVFINDINFOA find = {LVFI_STRING, text.c_str()};
        index = static_cast<int>(SendMessageA(control, LVM_FINDITEMA, -1, (LPARAM)&find));
        ASSERT_GE(index, 0) << "no row \"" << text << "\"";
        SendMessageA(control, LVM_ENSUREVISIBLE, index, FALSE);
        SendMessageA(control, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    } else {
        for (const auto& [at, name] : TreeItems(control))
            item = item ? item : name == text ? at : nullptr;
        ASSERT_NE(nullptr, item) << "no item \"" << text << "\"";
        TreeView_EnsureVisible(control, item);
        memcpy(&rect, &item, sizeof item); // the message reads the item from the rectangle
        SendMessageA(control, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
    }
    const POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    if (code != NM_RCLICK && item) {
        SendMessageA(control, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    } else if (code != NM_RCLICK) {
        // A click selects the clicked row alone.
        LVITEMA state = {};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(control, LVM_SETITEMSTATE, -1, reinterpret_cast<LPARAM>(&state));
        state.state = state.stateMask;
        SendMessageA(control, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&state));
    }
    if (code)
        ActAt(control, point, code, index);
}

void User::ActAt(HWND control, POINT point, UINT code, int index) {
    POINT screen = point;
    ClientToScreen(control, &screen);
    SetCursorPos(screen.x, screen.y);
    Notify(control, code, index, point);
}

void User::MenuKey(HWND control) {
    PostMessageA(control, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control), MAKELPARAM(-1, -1));
}

void User::Notify(HWND control, UINT code, int item, POINT point) {
    auto record = std::make_unique<NMITEMACTIVATE>();
    *record = {};
    record->hdr = {control, static_cast<UINT_PTR>(GetDlgCtrlID(control)), code};
    record->iItem = item;
    record->ptAction = point;
    PostMessageA(GetParent(control), WM_NOTIFY, record->hdr.idFrom, (LPARAM)record.get());
    notifications_.push_back(std::move(record));
}

void User::Do(const std::function<void()>& action) {
    SendMessageA(actionWindow_, kRunActionMessage, 0, reinterpret_cast<LPARAM>(&action));
}

std::string User::Text(HWND window) {
    std::string text(static_cast<size_t>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    return text.c_str();
}

std::string User::Texts(HWND dialog, std::initializer_list<int> ids) {
    std::string texts;
    for (int id : ids)
        texts += "|" + Text(dialog, id);
    return texts.substr(1);
}

std::vector<std::string> User::Items(HWND control) {
    std::vector<std::string> items;
    if (ClassIs(control, WC_TREEVIEWA)) {
        for (const auto& item : TreeItems(control))
            items.push_back(item.second);
        return items;
    }
    const bool list = ClassIs(control, WC_LISTVIEWA);
    char text[1024];
    LVITEMA row = {};
    row.pszText = text;
    row.cchTextMax = sizeof text;
    for (int i = 0; i < SendMessageA(control, list ? LVM_GETITEMCOUNT : CB_GETCOUNT, 0, 0); ++i) {
        SendMessageA(control, list ? LVM_GETITEMTEXTA : CB_GETLBTEXT, i,
                     list ? (LPARAM)&row : (LPARAM)text);
        items.push_back(text);
    }
    return items;
}

std::vector<std::string> User::MenuItems(HMENU menu) {
    std::vector<std::string> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[256] = {};
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        items.push_back(!text[0] ? "-" : std::string(text) + (GetSubMenu(menu, i) ? ">" : ""));
    }
    return items;
}

void User::CloseEverything() {
    if (MenuWindow())
        return Dismiss();
    if (HWND box = FindBox())
        for (int id : {IDCANCEL, IDNO, IDOK})
            if (GetDlgItem(box, id))
                return Click(box, id);
    Find([](HWND window) { return !PostMessageA(window, WM_CLOSE, 0, 0); });
}

// The main window the running test drives.
HWND g_mainWindow;

std::string StatusText(int part) {
    char text[512] = {};
    SendDlgItemMessageA(g_mainWindow, AppState.AdminMode ? IDC_ADMIN_STATUS : IDC_MAIN_STATUS,
                        SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text));
    return text;
}

void RunMainWindow(int admin, const std::function<void(User&, HWND)>& script) {
    AppState.AdminMode = admin;
    g_mainWindow = nullptr;
    RunDialog(::RunMainWindow, [&](User& user) {
        // The first window of a test program may wait for Wine to start up.
        HWND window =
            user.WaitFor(admin ? "Orvell File Type Editor - ADMIN MODE" : "Orvell File Type Editor",
                         4 * kWaitMs);
        g_mainWindow = window;
        ASSERT_TRUE(window && user.Wait([] { return !StatusText().empty(); }))
            << "the catalogue did not load";
        script(user, window);
    });
    g_mainWindow = nullptr;
}

std::vector<std::string> OurItems(std::initializer_list<HWND> controls, bool withGroups) {
    std::vector<std::string> ours;
    for (HWND control : controls)
        for (const std::string& item : User::Items(control))
            if (item.find("kvt") != std::string::npos ||
                (withGroups && (item.find("KVT") != std::string::npos || item.find("User ") == 0)))
                ours.push_back(item);
    return ours;
}

HWND ListOrTree(HWND window, const std::string& extension) {
    const bool link = extension[0] != '.';
    HWND list = GetDlgItem(window, AppState.AdminMode ? (link ? IDC_ADMIN_LINKS : IDC_ADMIN_LIST)
                                                      : (link ? IDC_MAIN_LINKS : IDC_MAIN_LIST));
    LVFINDINFOA find = {LVFI_STRING, extension.c_str()};
    const bool listed = SendMessageA(list, LVM_FINDITEMA, -1, (LPARAM)&find) >= 0;
    return listed ? list : GetDlgItem(window, IDC_MAIN_TREE);
}

HWND OpenEditor(User& user, HWND window, const std::string& extension) {
    user.Act(ListOrTree(window, extension), extension, NM_DBLCLK);
    return user.WaitForControl(IDC_EDITOR_TABS);
}

HWND EditorControl(User& user, HWND editor, int id) {
    int index = 0;
    for (HWND page = GetWindow(editor, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT)) {
        HWND control = ClassIs(page, "#32770") ? GetDlgItem(page, id) : nullptr;
        if (control && !IsWindowVisible(page))
            user.Select(GetDlgItem(editor, IDC_EDITOR_TABS), index);
        if (control && user.Wait([&] { return IsWindowVisible(page) != FALSE; }))
            return control;
        index += ClassIs(page, "#32770");
    }
    ADD_FAILURE() << "no page shows control " << id;
    return nullptr;
}

void ChooseFile(User& user, HWND fileDialog, const std::string& path) {
    // The name's control: edit edt1, or combo box cmb13, which passes the text to its edit.
    SendMessageA(fileDialog, CDM_SETCONTROLTEXT, GetDlgItem(fileDialog, edt1) ? edt1 : cmb13,
                 reinterpret_cast<LPARAM>(path.c_str()));
    user.Click(fileDialog, IDOK);
}

std::string TestFolder() {
    char folder[MAX_PATH + 1] = {};
    GetTempPathA(sizeof folder, folder);
    CreateDirectoryA((std::string(folder) + "kvt files").c_str(), nullptr);
    return std::string(folder) + "kvt files\\";
}

std::string TestFile(const std::string& name, const std::string& copyOf) {
    CopyFileA(copyOf.c_str(), (TestFolder() + name).c_str(), FALSE);
    return TestFolder() + name;
}

} // namespace kvt
