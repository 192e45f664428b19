// kvel_e2e_probe: reports what is on the screen of the Wine desktop it runs
// on, for the end-to-end driver that acts on it with real X input. It never
// acts on another program's window and shares no code with KVEL: it looks
// at the windows from outside, as an accessibility tool would.
//
//   kvel_e2e_probe serve             answers "snapshot" lines on standard
//                                    input, one JSON line each, until the
//                                    input ends (saves starting a process
//                                    for every look)
//   kvel_e2e_probe snapshot          every visible top-level window with its
//                                    controls, their texts, states, screen
//                                    rectangles and the rows of lists, trees,
//                                    tabs and combo boxes, as JSON
//   kvel_e2e_probe show-template EXE ID
//                                    shows dialog template ID of EXE (loaded
//                                    as data, no code of it runs) until it
//                                    is closed: for a screenshot of a window
//                                    that is never on screen long enough
//   kvel_e2e_probe menu-layout MENU  the layout of a pop-up menu with these
//                                    entries ("|" between entries, "-" a
//                                    separator, a trailing ">" a submenu):
//                                    its window size and each entry's
//                                    rectangle relative to the window
//
// Common-control messages that carry pointers are not carried across
// processes, so their structures are placed in the other process's memory
// (VirtualAllocEx) and read back from there.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// --- JSON output

std::string Quote(const std::string& text) {
    std::string out = "\"";
    int wideLength = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(wideLength > 0 ? wideLength : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], wideLength);
    for (wchar_t c : wide) {
        if (c == L'\0')
            break;
        if (c == L'"' || c == L'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char escape[8];
            snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            out += escape;
        }
    }
    return out + "\"";
}

std::string Number(long long value) {
    return std::to_string(value);
}
std::string Handle(const void* handle) {
    return std::to_string(reinterpret_cast<unsigned long long>(handle));
}
std::string Bool(bool value) {
    return value ? "true" : "false";
}
std::string Rect(const RECT& r) {
    return "[" + Number(r.left) + "," + Number(r.top) + "," + Number(r.right) + "," +
           Number(r.bottom) + "]";
}

// Builds one JSON object field by field.
class Object {
  public:
    Object& Add(const char* name, const std::string& json) {
        text_ += (text_.empty() ? "{" : ",") + Quote(name) + ":" + json;
        return *this;
    }
    std::string Json() const { return text_.empty() ? "{}" : text_ + "}"; }

  private:
    std::string text_;
};

std::string Array(const std::vector<std::string>& items) {
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i)
        out += (i ? "," : "") + items[i];
    return out + "]";
}

// --- Memory in another process

class RemoteBlock {
  public:
    RemoteBlock(HWND window, SIZE_T size) : size_(size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_ =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_)
            base_ = static_cast<char*>(
                VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    }
    ~RemoteBlock() {
        if (base_)
            VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
        if (process_)
            CloseHandle(process_);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    bool Ok() const { return base_ != nullptr; }
    char* At(SIZE_T offset) const { return base_ + offset; }
    bool Write(SIZE_T offset, const void* data, SIZE_T size) const {
        return offset + size <= size_ &&
               WriteProcessMemory(process_, base_ + offset, data, size, nullptr);
    }
    bool Read(SIZE_T offset, void* data, SIZE_T size) const {
        return offset + size <= size_ &&
               ReadProcessMemory(process_, base_ + offset, data, size, nullptr);
    }
    std::string ReadText(SIZE_T offset, SIZE_T size) const {
        std::vector<char> text(size + 1, '\0');
        Read(offset, text.data(), size);
        return text.data();
    }

  private:
    HANDLE process_ = nullptr;
    char* base_ = nullptr;
    SIZE_T size_;
};

constexpr SIZE_T kTextBytes = 1024;
constexpr SIZE_T kStructOffset = 0;
constexpr SIZE_T kTextOffset = 256;
constexpr SIZE_T kBlockBytes = kTextOffset + kTextBytes;

// --- Windows

std::string ClassOf(HWND window) {
    char name[128] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// A window that does not answer (a program busy, or closing while it is
// looked at) is not asked again for the rest of its top-level window.
bool g_unresponsive = false;

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (g_unresponsive)
        return 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 1000, &result)) {
        g_unresponsive = true;
        return 0;
    }
    return static_cast<LRESULT>(result);
}

// Strings of list and combo boxes come back intact across processes only
// through the Unicode messages.
std::string SendForText(HWND window, UINT lengthMessage, UINT textMessage, WPARAM index) {
    DWORD_PTR length = 0;
    if (g_unresponsive ||
        !SendMessageTimeoutW(window, lengthMessage, index, 0, SMTO_ABORTIFHUNG, 1000, &length)) {
        g_unresponsive = true;
        return "";
    }
    if (static_cast<LONG_PTR>(length) < 0 || length >= kTextBytes)
        return "";
    wchar_t wide[kTextBytes] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, textMessage, index, reinterpret_cast<LPARAM>(wide),
                             SMTO_ABORTIFHUNG, 1000, &copied)) {
        g_unresponsive = true;
        return "";
    }
    char text[kTextBytes * 2] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text - 1, nullptr, nullptr);
    return text;
}

std::string TextOf(HWND window) {
    char text[kTextBytes] = {};
    Send(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

RECT ClientToScreenRect(HWND window, RECT rect) {
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT ScreenClientRect(HWND window) {
    RECT rect = {};
    GetClientRect(window, &rect);
    return ClientToScreenRect(window, rect);
}

std::string ListViewItems(HWND list) {
    std::vector<std::string> items;
    RemoteBlock block(list, kBlockBytes);
    if (!block.Ok())
        return "[]";
    int count = static_cast<int>(Send(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = block.At(kTextOffset);
        item.cchTextMax = kTextBytes;
        std::vector<char> zero(kTextBytes, '\0');
        block.Write(kTextOffset, zero.data(), zero.size());
        block.Write(kStructOffset, &item, sizeof item);
        Send(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(block.At(kStructOffset)));
        std::string text = block.ReadText(kTextOffset, kTextBytes);

        RECT rect = {};
        rect.left = LVIR_LABEL;
        block.Write(kStructOffset, &rect, sizeof rect);
        bool hasRect =
            Send(list, LVM_GETITEMRECT, i, reinterpret_cast<LPARAM>(block.At(kStructOffset))) != 0;
        block.Read(kStructOffset, &rect, sizeof rect);
        UINT state =
            static_cast<UINT>(Send(list, LVM_GETITEMSTATE, i, LVIS_SELECTED | LVIS_FOCUSED));
        items.push_back(Object()
                            .Add("index", Number(i))
                            .Add("text", Quote(text))
                            .Add("rect", hasRect ? Rect(ClientToScreenRect(list, rect)) : "null")
                            .Add("selected", Bool(state & LVIS_SELECTED))
                            .Add("focused", Bool(state & LVIS_FOCUSED))
                            .Json());
    }
    return Array(items);
}

void TreeItems(HWND tree, const RemoteBlock& block, HTREEITEM first, int level,
               std::vector<std::string>& items) {
    for (HTREEITEM item = first; item;
         item = reinterpret_cast<HTREEITEM>(
             Send(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        TVITEMA data = {};
        data.mask = TVIF_TEXT | TVIF_STATE | TVIF_HANDLE;
        data.hItem = item;
        data.stateMask = TVIS_SELECTED | TVIS_EXPANDED | TVIS_BOLD;
        data.pszText = block.At(kTextOffset);
        data.cchTextMax = kTextBytes;
        std::vector<char> zero(kTextBytes, '\0');
        block.Write(kTextOffset, zero.data(), zero.size());
        block.Write(kStructOffset, &data, sizeof data);
        Send(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.At(kStructOffset)));
        block.Read(kStructOffset, &data, sizeof data);
        std::string text = block.ReadText(kTextOffset, kTextBytes);

        // TVM_GETITEMRECT takes the item in the place of the rectangle.
        block.Write(kStructOffset, &item, sizeof item);
        RECT rect = {};
        bool hasRect = Send(tree, TVM_GETITEMRECT, TRUE,
                            reinterpret_cast<LPARAM>(block.At(kStructOffset))) != 0;
        block.Read(kStructOffset, &rect, sizeof rect);
        items.push_back(Object()
                            .Add("text", Quote(text))
                            .Add("level", Number(level))
                            .Add("rect", hasRect ? Rect(ClientToScreenRect(tree, rect)) : "null")
                            .Add("selected", Bool(data.state & TVIS_SELECTED))
                            .Add("expanded", Bool(data.state & TVIS_EXPANDED))
                            .Json());
        auto child = reinterpret_cast<HTREEITEM>(
            Send(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
        TreeItems(tree, block, child, level + 1, items);
    }
}

std::string TreeViewItems(HWND tree) {
    std::vector<std::string> items;
    RemoteBlock block(tree, kBlockBytes);
    if (!block.Ok())
        return "[]";
    auto root = reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    TreeItems(tree, block, root, 0, items);
    return Array(items);
}

std::string TabItems(HWND tabs) {
    std::vector<std::string> items;
    RemoteBlock block(tabs, kBlockBytes);
    if (!block.Ok())
        return "[]";
    int count = static_cast<int>(Send(tabs, TCM_GETITEMCOUNT, 0, 0));
    int selected = static_cast<int>(Send(tabs, TCM_GETCURSEL, 0, 0));
    for (int i = 0; i < count; ++i) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = block.At(kTextOffset);
        item.cchTextMax = kTextBytes;
        std::vector<char> zero(kTextBytes, '\0');
        block.Write(kTextOffset, zero.data(), zero.size());
        block.Write(kStructOffset, &item, sizeof item);
        Send(tabs, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(block.At(kStructOffset)));
        std::string text = block.ReadText(kTextOffset, kTextBytes);
        RECT rect = {};
        Send(tabs, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(block.At(kStructOffset)));
        block.Read(kStructOffset, &rect, sizeof rect);
        items.push_back(Object()
                            .Add("index", Number(i))
                            .Add("text", Quote(text))
                            .Add("rect", Rect(ClientToScreenRect(tabs, rect)))
                            .Add("selected", Bool(i == selected))
                            .Json());
    }
    return Array(items);
}

// The texts of a ComboBoxEx, whose inner list is drawn by the control itself.
std::string ComboExItems(HWND combo) {
    std::vector<std::string> items;
    RemoteBlock block(combo, kBlockBytes);
    if (!block.Ok())
        return "[]";
    int count = static_cast<int>(Send(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        COMBOBOXEXITEMA item = {};
        item.mask = CBEIF_TEXT;
        item.iItem = i;
        item.pszText = block.At(kTextOffset);
        item.cchTextMax = kTextBytes;
        std::vector<char> zero(kTextBytes, '\0');
        block.Write(kTextOffset, zero.data(), zero.size());
        block.Write(kStructOffset, &item, sizeof item);
        Send(combo, CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.At(kStructOffset)));
        items.push_back(Quote(block.ReadText(kTextOffset, kTextBytes)));
    }
    return Array(items);
}

// A plain combo box carries its strings across processes by itself.
std::string ComboItems(HWND combo) {
    std::vector<std::string> items;
    int count = static_cast<int>(Send(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        items.push_back(Quote(SendForText(combo, CB_GETLBTEXTLEN, CB_GETLBTEXT, i)));
    return Array(items);
}

// The rows of an open drop-down list (class ComboLBox) or list box.
std::string ListBoxItems(HWND list) {
    std::vector<std::string> items;
    int count = static_cast<int>(Send(list, LB_GETCOUNT, 0, 0));
    bool hasStrings = (GetWindowLongA(list, GWL_STYLE) & LBS_HASSTRINGS) != 0;
    RECT client = {};
    GetClientRect(list, &client);
    for (int i = 0; i < count; ++i) {
        RECT rect = {};
        Send(list, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect));
        RECT shown = {};
        bool visible = IntersectRect(&shown, &rect, &client) && EqualRect(&shown, &rect);
        std::string text = hasStrings ? SendForText(list, LB_GETTEXTLEN, LB_GETTEXT, i) : "";
        items.push_back(Object()
                            .Add("index", Number(i))
                            .Add("text", Quote(text))
                            .Add("rect", visible ? Rect(ClientToScreenRect(list, rect)) : "null")
                            .Add("selected", Bool(Send(list, LB_GETSEL, i, 0) > 0))
                            .Json());
    }
    return Array(items);
}

std::string StatusParts(HWND status) {
    std::vector<std::string> parts;
    RemoteBlock block(status, kBlockBytes);
    if (!block.Ok())
        return "[]";
    int count = static_cast<int>(Send(status, SB_GETPARTS, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::vector<char> zero(kTextBytes, '\0');
        block.Write(kTextOffset, zero.data(), zero.size());
        if (LOWORD(Send(status, SB_GETTEXTLENGTHA, i, 0)) < kTextBytes)
            Send(status, SB_GETTEXTA, i, reinterpret_cast<LPARAM>(block.At(kTextOffset)));
        parts.push_back(Quote(block.ReadText(kTextOffset, kTextBytes)));
    }
    return Array(parts);
}

std::string Control(HWND control) {
    std::string kind = ClassOf(control);
    LONG style = GetWindowLongA(control, GWL_STYLE);
    RECT rect = {};
    GetWindowRect(control, &rect);
    Object object;
    object.Add("hwnd", Handle(control))
        .Add("parent", Handle(GetParent(control)))
        .Add("id", Number(GetDlgCtrlID(control)))
        .Add("class", Quote(kind))
        .Add("text", Quote(TextOf(control)))
        .Add("rect", Rect(rect))
        .Add("client", Rect(ScreenClientRect(control)))
        .Add("visible", Bool(IsWindowVisible(control)))
        .Add("enabled", Bool(IsWindowEnabled(control)));
    if (!lstrcmpiA(kind.c_str(), WC_BUTTONA)) {
        LONG type = style & BS_TYPEMASK;
        if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
            type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE)
            object.Add("checked", Number(Send(control, BM_GETCHECK, 0, 0)));
    } else if (!lstrcmpiA(kind.c_str(), WC_LISTVIEWA)) {
        object.Add("items", ListViewItems(control));
    } else if (!lstrcmpiA(kind.c_str(), WC_TREEVIEWA)) {
        object.Add("items", TreeViewItems(control));
    } else if (!lstrcmpiA(kind.c_str(), WC_TABCONTROLA)) {
        object.Add("items", TabItems(control));
    } else if (!lstrcmpiA(kind.c_str(), WC_COMBOBOXEXA)) {
        object.Add("items", ComboExItems(control))
            .Add("selectedIndex", Number(Send(control, CB_GETCURSEL, 0, 0)))
            .Add("dropped", Bool(Send(control, CB_GETDROPPEDSTATE, 0, 0) != 0));
    } else if (!lstrcmpiA(kind.c_str(), WC_COMBOBOXA) &&
               lstrcmpiA(ClassOf(GetParent(control)).c_str(), WC_COMBOBOXEXA) != 0) {
        object.Add("items", ComboItems(control))
            .Add("selectedIndex", Number(Send(control, CB_GETCURSEL, 0, 0)))
            .Add("dropped", Bool(Send(control, CB_GETDROPPEDSTATE, 0, 0) != 0));
    } else if (!lstrcmpiA(kind.c_str(), STATUSCLASSNAMEA)) {
        object.Add("parts", StatusParts(control));
    } else if (!lstrcmpiA(kind.c_str(), "ComboLBox") || !lstrcmpiA(kind.c_str(), WC_LISTBOXA)) {
        object.Add("items", ListBoxItems(control));
    }
    return object.Json();
}

BOOL CALLBACK CollectControl(HWND control, LPARAM data) {
    reinterpret_cast<std::vector<std::string>*>(data)->push_back(Control(control));
    return TRUE;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
    if (!IsWindowVisible(window))
        return TRUE;
    DWORD pid = 0;
    DWORD thread = GetWindowThreadProcessId(window, &pid);
    if (pid == GetCurrentProcessId())
        return TRUE;
    g_unresponsive = false;
    RECT rect = {};
    GetWindowRect(window, &rect);
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(thread, &gui);
    TITLEBARINFO title = {};
    title.cbSize = sizeof title;
    bool hasCaption = GetTitleBarInfo(window, &title) &&
                      !(title.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN));
    bool hasClose = hasCaption && !(title.rgstate[5] & STATE_SYSTEM_INVISIBLE);
    std::vector<std::string> controls;
    EnumChildWindows(window, CollectControl, reinterpret_cast<LPARAM>(&controls));
    Object object;
    object.Add("hwnd", Handle(window))
        .Add("pid", Number(pid))
        .Add("class", Quote(ClassOf(window)))
        .Add("title", Quote(TextOf(window)))
        .Add("rect", Rect(rect))
        .Add("client", Rect(ScreenClientRect(window)))
        .Add("enabled", Bool(IsWindowEnabled(window)))
        .Add("owner", Handle(GetWindow(window, GW_OWNER)))
        .Add("focus", Handle(gui.hwndFocus))
        .Add("active", Handle(gui.hwndActive))
        .Add("caption", hasCaption ? Rect(title.rcTitleBar) : "null")
        .Add("closeBox", Bool(hasClose))
        .Add("controls", Array(controls))
        .Add("answered", Bool(!g_unresponsive));
    if (!lstrcmpiA(ClassOf(window).c_str(), "ComboLBox"))
        object.Add("items", ListBoxItems(window));
    reinterpret_cast<std::vector<std::string>*>(data)->push_back(object.Json());
    return TRUE;
}

int Snapshot() {
    std::vector<std::string> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    POINT cursor = {};
    GetCursorPos(&cursor);
    RECT screen = {};
    GetWindowRect(GetDesktopWindow(), &screen);
    std::string json = Object()
                           .Add("windows", Array(windows))
                           .Add("cursor", "[" + Number(cursor.x) + "," + Number(cursor.y) + "]")
                           .Add("screen", Rect(screen))
                           .Json();
    fwrite(json.data(), 1, json.size(), stdout);
    fputc('\n', stdout);
    return 0;
}

// --- Menu layout: the probe shows a menu of its own with the same entries,
// reads where the menu put them and closes it. The program's menu looks the
// same: the same Wine, the same fonts, the same system metrics.

struct MenuLayout {
    HMENU menu = nullptr;
    std::vector<std::string> texts;
    std::string json;
};
MenuLayout g_layout;

HWND FindOwnMenuWindow() {
    HWND found = nullptr;
    EnumWindows(
        [](HWND window, LPARAM data) {
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid == GetCurrentProcessId() && IsWindowVisible(window) &&
                ClassOf(window) == "#32768") {
                *reinterpret_cast<HWND*>(data) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK ReadMenuLayout(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND menuWindow = FindOwnMenuWindow();
    if (!menuWindow)
        return;
    KillTimer(nullptr, timer);
    RECT window = {};
    GetWindowRect(menuWindow, &window);
    std::vector<std::string> items;
    for (size_t i = 0; i < g_layout.texts.size(); ++i) {
        RECT item = {};
        GetMenuItemRect(nullptr, g_layout.menu, static_cast<UINT>(i), &item);
        OffsetRect(&item, -window.left, -window.top);
        items.push_back(
            Object().Add("text", Quote(g_layout.texts[i])).Add("rect", Rect(item)).Json());
    }
    g_layout.json = Object()
                        .Add("size", "[" + Number(window.right - window.left) + "," +
                                         Number(window.bottom - window.top) + "]")
                        .Add("items", Array(items))
                        .Json();
    EndMenu();
}

int MenuLayoutOf(const std::string& entries) {
    HMENU menu = CreatePopupMenu();
    HMENU submenu = CreatePopupMenu();
    AppendMenuA(submenu, MF_STRING, 1, "x");
    size_t start = 0;
    UINT command = 100;
    while (start <= entries.size()) {
        size_t end = entries.find('|', start);
        std::string entry = entries.substr(start, end == std::string::npos ? end : end - start);
        if (entry == "-") {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        } else if (!entry.empty() && entry.back() == '>') {
            entry.pop_back();
            AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), entry.c_str());
        } else {
            AppendMenuA(menu, MF_STRING, command++, entry.c_str());
        }
        g_layout.texts.push_back(entry);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    g_layout.menu = menu;
    HWND owner = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(owner);
    SetTimer(nullptr, 0, 20, ReadMenuLayout);
    TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, 0, 0, 0, owner, nullptr);
    DestroyWindow(owner);
    DestroyMenu(menu);
    if (g_layout.json.empty()) {
        fprintf(stderr, "the menu did not open\n");
        return 1;
    }
    fwrite(g_layout.json.data(), 1, g_layout.json.size(), stdout);
    fputc('\n', stdout);
    return 0;
}

INT_PTR CALLBACK TemplateProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, 0);
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

int ShowTemplate(const char* path, int id) {
    HMODULE module = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        fprintf(stderr, "cannot load %s\n", path);
        return 1;
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    INT_PTR result = DialogBoxParamA(module, MAKEINTRESOURCEA(id), nullptr, TemplateProc, 0);
    FreeLibrary(module);
    return result == -1 ? 1 : 0;
}

} // namespace

int Serve() {
    char line[64];
    while (fgets(line, sizeof line, stdin)) {
        if (strncmp(line, "snapshot", 8) != 0)
            break;
        Snapshot();
        fflush(stdout);
    }
    return 0;
}

int main(int argc, char** argv) {
    std::string command = argc > 1 ? argv[1] : "snapshot";
    if (command == "snapshot")
        return Snapshot();
    if (command == "serve")
        return Serve();
    if (command == "show-template" && argc > 3)
        return ShowTemplate(argv[2], atoi(argv[3]));
    if (command == "menu-layout" && argc > 2)
        return MenuLayoutOf(argv[2]);
    fprintf(stderr, "usage: kvel_e2e_probe serve | snapshot | show-template EXE ID |"
                    " menu-layout ENTRY|ENTRY|...\n");
    return 2;
}
