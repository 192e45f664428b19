// The test harness: registry fixtures written as .reg text, and a user who
// drives the program's real dialogs from a second thread. Actions are posted
// to the dialog's thread, so that one which opens a modal window does not
// block the script; reads are sent, so they see the state the actions left.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kvt {

constexpr DWORD kWaitMs = 15000;

// Seeds the registry from .reg text, through the wide calls: [HKLM\...] or
// [HKCU\...] creates a key ([-...] deletes it; "[...] volatile" makes it
// refuse lasting sub-keys, "[...] locked" refuses reads, changes and its removal); @="x",
// "name"="x", expand:"x", dword:0001, hex:01,00 and hex(type):01,00 as in
// .reg files.
void Seed(const std::string& text);
// UTF-8 text as the system's UTF-16; piece times times.
std::wstring Wide(const std::string& text);
std::string Repeat(const std::string& piece, int times);
// text as the data of a .reg value: backslashes and quotes escaped.
std::string RegText(const std::string& text);
// Checks the registry against the same form ("name"=-: absent); use
// EXPECT_REGISTRY, which names the caller's line.
void ExpectRegistry(const std::string& text);
#define EXPECT_REGISTRY(text)                                                                      \
    do {                                                                                           \
        SCOPED_TRACE("registry");                                                                  \
        kvt::ExpectRegistry(text);                                                                 \
    } while (0)
// A value's data as text, "<absent>" when there is none.
std::string ValueText(HKEY hive, const std::string& path, const char* name);
bool KeyExists(HKEY hive, const std::string& path);

// Every "kvt..." key of both hives' classes, applications and Open With
// lists as stored (names, types and bytes), to compare two moments.
std::string TestKeysBytes();
// Removes every key named "kvt..." (also ".kvt...", "-.kvt...") from both
// hives' classes, applications and Open With lists.
void RemoveTestKeys();

class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override { RemoveTestKeys(); }
    void TearDown() override { RemoveTestKeys(); }
};

class User {
  public:
    explicit User(DWORD uiThread) : uiThread_(uiThread) {}

    // Waiting: false (and a failure where something is expected) after ms.
    static bool Wait(const std::function<bool()>& condition, DWORD ms = kWaitMs);
    HWND WaitFor(const std::string& caption, DWORD ms = kWaitMs);
    // A visible dialog of the program that holds control id.
    HWND WaitForControl(int id);
    // A message box; text gets its text.
    HWND WaitForBox(std::string* text = nullptr);
    bool WaitGone(HWND window);
    HMENU WaitForMenu();
    static HWND FindBox();
    static HWND Find(const std::function<bool(HWND)>& wanted); // a visible window of ours

    void Click(HWND dialog, int id);               // a button; a check box toggles first
    void Type(HWND edit, const std::string& text); // replaces the text, key by key
    void Key(HWND window, UINT key);
    // The key with Ctrl, Shift ... (and also another).
    void Chord(HWND window, UINT modifier, UINT key, UINT also = 0);
    void Close(HWND window); // the close box
    void Answer(HWND box, int button);
    void Choose(UINT command);            // from the open pop-up menu
    void Dismiss();                       // the open pop-up menu
    void Select(HWND control, int index); // a combo box item or a tab
    void Select(HWND combo, const std::string& item);
    void Focus(HWND control);
    // A list row or tree item named text gets code: 0 selects it, NM_CLICK,
    // NM_DBLCLK and NM_RCLICK are a click, a double click and a right-click.
    void Act(HWND control, const std::string& text, UINT code);
    // code at a point of the control (client co-ordinates), for its item index.
    void ActAt(HWND control, POINT point, UINT code, int index = -1);
    void MenuKey(HWND control); // Shift+F10 or the menu key
    // Runs action on the dialog thread and waits until it has run.
    void Do(const std::function<void()>& action);

    static std::string Text(HWND window);
    static std::string Text(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }
    // The texts of the dialog's controls, joined by "|".
    static std::string Texts(HWND dialog, std::initializer_list<int> ids);
    // List rows, tree items (depth first) or combo box items.
    static std::vector<std::string> Items(HWND control);
    // Menu entries; "-" for a rule, "name>" for a submenu.
    static std::vector<std::string> MenuItems(HMENU menu);

  private:
    friend void RunDialog(const std::function<void()>&, const std::function<void(User&)>&);
    void Notify(HWND control, UINT code, int item, POINT point);
    HWND WaitForWindow(const std::function<bool(HWND)>& wanted, const std::string& what,
                       DWORD ms = kWaitMs);
    void CloseEverything();

    DWORD uiThread_;
    HWND actionWindow_ = nullptr;
    std::function<void()> release_;
    std::deque<std::unique_ptr<NMITEMACTIVATE>> notifications_;
};

void RunDialog(const std::function<void()>& open, const std::function<void(User&)>& script);
// The items of the controls whose text holds "kvt" (or, withGroups, "KVT",
// and the tree's groups), in their order.
std::vector<std::string> OurItems(std::initializer_list<HWND> controls, bool withGroups = false);
// The main window of the mode, once the catalogue has loaded.
void RunMainWindow(int admin, const std::function<void(User&, HWND)>& script);
// A part of the status bar: the extensions' counts (0) or the link types' (1).
std::string StatusText(int part = 0);
// The main window's list (of extensions, or of link types) when it lists
// extension, else its tree.
HWND ListOrTree(HWND window, const std::string& extension);
// Double-clicks extension in the main window's list or tree; the editor.
HWND OpenEditor(User& user, HWND window, const std::string& extension);
// The editor's control id, with the page that holds it shown.
HWND EditorControl(User& user, HWND editor, int id);
// Types path into the open or save dialog and presses its OK button.
void ChooseFile(User& user, HWND fileDialog, const std::string& path);
// A folder and a file of the test program's own, made when asked for.
std::string TestFolder();
std::string TestFile(const std::string& name, const std::string& copyOf);

} // namespace kvt
