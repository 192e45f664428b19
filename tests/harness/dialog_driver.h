// Drives the program's real dialogs as a person would, from a second thread.
//
// RunDialog calls open() on the test thread; open() shows a modal dialog of
// the program and returns when it ends. Meanwhile script(user) runs on a
// second thread and acts on the windows through User: every action is posted
// to the dialog's thread (so that an action which opens a modal dialog or a
// menu does not block the script), every query is sent (so it sees the state
// after the actions before it). When the script ends, whatever it left open
// is closed, so a failing script never hangs the test.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kvt {

class User;

// Default time a wait gives the program, in milliseconds.
constexpr DWORD kWaitMs = 15000;

void RunDialog(const std::function<void()>& open, const std::function<void(User&)>& script);

struct MessageBoxInfo {
    HWND window = nullptr;
    std::string text;
    std::string caption;
    std::vector<int> buttons; // IDOK, IDYES, ... in the order found
    bool hasIcon = false;
};

struct MenuEntry {
    UINT command = 0; // 0 for a separator or a submenu
    std::string text; // empty for a separator
    bool enabled = true;
    HMENU submenu = nullptr;
};

class User {
  public:
    explicit User(DWORD uiThread) : uiThread_(uiThread) {}

    // --- Waiting (every wait fails the test on timeout and returns a null/false result)
    bool WaitUntil(const std::function<bool()>& condition, DWORD ms = kWaitMs);
    // A visible top-level window of the program with exactly this caption.
    HWND WaitForWindow(const std::string& caption, DWORD ms = kWaitMs);
    // A visible top-level dialog of the program that holds a control with this id.
    HWND WaitForDialogWith(int controlId, DWORD ms = kWaitMs);
    bool WaitGone(HWND window, DWORD ms = kWaitMs);
    MessageBoxInfo WaitForMessageBox(DWORD ms = kWaitMs);
    // The open pop-up menu (TrackPopupMenu) and its entries.
    HMENU WaitForPopupMenu(DWORD ms = kWaitMs);
    // Whether a window with this caption (or a message box) is open now.
    HWND FindWindowNow(const std::string& caption) const;
    HWND FindMessageBoxNow() const;

    // --- Texts and controls
    static std::string Text(HWND window);
    static std::string Text(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }
    void SetText(HWND control, const std::string& text);
    // Types text into an edit control character by character (WM_CHAR), as
    // the keyboard does: filters see each character and the edit becomes
    // modified.
    void Type(HWND control, const std::string& text);
    // Posts a key press (down and up) to the window that has the keyboard
    // focus on the dialog thread, or to window.
    void PressKey(UINT virtualKey, HWND window = nullptr);
    void Click(HWND dialog, int id);
    void ClickCheckBox(HWND dialog, int id);
    void Close(HWND window); // the close box
    void Answer(const MessageBoxInfo& box, int button);
    void SelectCombo(HWND dialog, int id, int index);
    // A click on a tab: the tab control selects it and tells its parent.
    void SelectTab(HWND tabs, int index);
    static std::vector<std::string> ComboTexts(HWND combo);

    // --- List views
    static int ListCount(HWND list);
    static std::string ListText(HWND list, int index);
    static std::vector<std::string> ListTexts(HWND list);
    static LPARAM ListParam(HWND list, int index);
    static int ListImage(HWND list, int index);
    static int ListSelected(HWND list);
    static int ListFind(HWND list, const std::string& text);
    static bool ListItemVisible(HWND list, int index);
    // A click on the row: the row is selected and focused (the list sends its
    // item-changing notifications), then the click notification follows.
    void ClickListItem(HWND list, int index);
    void DoubleClickListItem(HWND list, int index);
    void RightClickListItem(HWND list, int index);
    // A click or right-click on empty space of the list (client co-ordinates).
    void ClickListAt(HWND list, POINT point, UINT code);

    // --- Tree views
    static std::string TreeText(HWND tree, HTREEITEM item);
    static HTREEITEM TreeNext(HWND tree, UINT relation, HTREEITEM item);
    static std::vector<std::string> TreeChildren(HWND tree, HTREEITEM parent);
    static HTREEITEM TreeFind(HWND tree, const std::string& text);
    static HTREEITEM TreeSelected(HWND tree);
    void SelectTreeItem(HWND tree, HTREEITEM item);
    void DoubleClickTreeItem(HWND tree, HTREEITEM item);
    void RightClickTreeItem(HWND tree, HTREEITEM item);
    void RightClickTreeAt(HWND tree, POINT point);
    void FocusControl(HWND control);
    // The control that has the keyboard focus on the dialog thread.
    HWND FocusedControl() const;

    // --- Menus
    static std::vector<MenuEntry> MenuEntries(HMENU menu);
    static std::vector<std::string> MenuTexts(HMENU menu);
    // Chooses the entry with this command in the open pop-up menu (or one of
    // its submenus); the test fails when the menu does not offer it enabled.
    void ChooseMenuCommand(UINT command);
    void DismissMenu();

    // Closes every window of the program that is still open.
    void CloseEverything();

    // Runs action on the dialog thread, as the program's own code runs there
    // (for example to open one of its dialogs); returns at once.
    void RunOnDialogThread(std::function<void()> action);

  private:
    void PostNotify(HWND control, UINT code, int item, POINT point);
    void SetCursorOver(HWND control, POINT clientPoint);
    std::vector<HWND> ProcessWindows() const;

    friend void RunDialog(const std::function<void()>&, const std::function<void(User&)>&);

    DWORD uiThread_;
    // A window of the dialog thread that runs the actions of RunOnDialogThread.
    HWND actionWindow_ = nullptr;
    // Records of posted notifications live as long as the script.
    std::deque<std::unique_ptr<NMITEMACTIVATE>> notifications_;
};

} // namespace kvt
