// What the main windows of both modes share: icons and tabs, the Tools menu,
// selection from the extension list, the commands that work alike in both
// modes, and the etched rules of the details pane.
#pragma once
#include <windows.h>

// Window icons from icon resource 1, at 32 and 16 pixels.
void SetMainWindowIcons(HWND window);
// One tab with a text and an image of AppState.Images16.
void InsertCaptionTab(HWND tab, const char* text, int image);
// One of a window's own commands in a context menu.
struct MenuEntryTemplate {
    UINT Command;
    const char* Text;
    const char* Key; // shown beside the text ("\tEnter"), or null
};

// A pop-up menu of the window's own entries, in order, followed by what
// every context menu ends with: "Search", "Undo", "Export...", "Export
// All...", the Tools submenu ("Compare", "Open With Editor"), a rule,
// "Readme", "About", a rule and "Exit".
HMENU BuildContextMenu(const MenuEntryTemplate* entries, size_t count);
// AppState.ListMenu and AppState.TreeMenu become these (either may be null),
// owned until the next call; the menus they replace are destroyed.
void TakeContextMenus(HMENU list, HMENU tree);

void TrackMenuAtCursor(HWND owner, HMENU menu);
void TrackMenuAt(HWND owner, HMENU menu, POINT screen);
// WM_CONTEXTMENU: from the keyboard on the list, its menu at the focused row
// (the mouse's menus come with NM_RCLICK). TRUE when handled.
INT_PTR OnListKeyboardMenu(HWND owner, HWND control, LPARAM position);
// The row of AppState.ExtensionList under the cursor, -1 for none.
int ListItemAtCursor();
// CurrentExtension and AppState.CurrentListIndex from a row of the list.
void TakeListItem(int index);

// Runs the commands that both main windows handle alike (Search, Undo,
// Export, Export All, Compare, Open With Editor, About, Readme, Exit); false
// for any other command.
bool RunSharedCommand(HWND window, WPARAM command);

// The main window's keys (the accelerator table), from its start until it
// closes: a key pressed in the window or one of its controls runs its command.
void StartMainWindowKeys(HWND window);
void StopMainWindowKeys();

// A move to a monitor of another scale (WM_DPICHANGED): the window takes the
// suggested rectangle (the system scales the dialog's controls) and its
// pictures come again at the new scale; the caller shows its pane again.
void FollowDpiChange(HWND window, WPARAM wParam, LPARAM lParam);

// The two etched rules of the details pane, between the dialog-unit x
// co-ordinates left and right of the template.
void PaintDetailsRules(HWND window, int left, int right);
