// What the main windows of both modes share: their own state, icons and
// tabs, the Tools menu, selection from the extension list, the commands that
// work alike in both modes, and the etched rules of the details pane.
#pragma once
#include "catalogue/catalogue.h"
#include "details/pane.h"
#include "platform/handles.h"
#include "records/file_type.h"
#include "writer/undo.h"

#include <windows.h>

#include <string>

// A main window's own state, from WM_INITDIALOG until it closes, reached
// through its DWLP_USER.
struct MainWindow {
    RunMode Mode = RunMode::User;
    HWND Window = nullptr;
    CatalogueView Catalogue;
    // The tabs over the lists: "System" (extensions) and "Links".
    HWND ListTabs = nullptr;
    DetailsPane Pane;
    // The context menus, with their submenus; the tree's in user mode only.
    MenuOwner ListMenu;
    MenuOwner TreeMenu;
    // The extension the commands act on, with its leading dot (or a link
    // type's scheme), and where it stands in the shown list or the tree.
    std::string CurrentExtension;
    int CurrentListIndex = 0;
    HTREEITEM CurrentTreeItem = nullptr;
};

MainWindow& MainWindowOf(HWND window);
// At WM_INITDIALOG: the state arrives as the parameter and is kept; the
// handles both modes have are taken.
MainWindow& TakeMainWindow(HWND window, LPARAM parameter);

// Reads extension for the mode and shows it in the pane; it becomes the
// current one.
void ShowExtension(MainWindow& main, const std::string& extension);
// The extension read again, for a command that starts from what the
// registry holds now.
FileType ReadCurrent(const MainWindow& main);
// Says a change the system refused, over the main window; false then.
bool ChangeDone(const MainWindow& main, const ChangeOutcome& outcome);

// Window icons from icon resource 1, at 32 and 16 pixels.
void SetMainWindowIcons(HWND window);
// One tab more with a text and an image of AppUi.Images16 (-1 for none).
void InsertCaptionTab(HWND tab, const char* text, int image);
// The list of the tab shown: the extensions' or the link types'.
HWND ShownList(const MainWindow& main);
// Shows the list of tab (0 "System", 1 "Links"): its selected row (the
// first where there is none) becomes the current one, shown and focused.
void ShowListTab(MainWindow& main, int tab);
// The tab that shows name's list.
int ListTabOf(const char* name);
// One of a window's own commands in a context menu.
struct MenuEntryTemplate {
    UINT Command;
    const char* Text;
    const char* Key; // shown beside the text ("\tEnter"), or null
};

// A pop-up menu of the window's own entries, in order, followed by what
// every context menu ends with: "Search", "Undo", "Export...", "Export
// All...", the Tools submenu ("Compare", "Open With Editor", "Problems..."),
// a rule, "Readme", "About", a rule and "Exit".
HMENU BuildContextMenu(const MenuEntryTemplate* entries, size_t count);

void TrackMenuAtCursor(const MainWindow& main, HMENU menu);
void TrackMenuAt(const MainWindow& main, HMENU menu, POINT screen);
// WM_CONTEXTMENU: from the keyboard on the list, its menu at the focused row
// (the mouse's menus come with NM_RCLICK). TRUE when handled.
INT_PTR OnListKeyboardMenu(MainWindow& main, HWND control, LPARAM position);
// The row of the list under the cursor, -1 for none.
int ListItemAtCursor(const MainWindow& main);
// The current extension and row from a row of the shown list.
void TakeListItem(MainWindow& main, int index);

// Runs the commands that both main windows handle alike (Undo,
// Export, Export All, Compare, Open With Editor, About, Readme, Exit, the
// other tab); false for any other command.
bool RunSharedCommand(MainWindow& main, WPARAM command);

// Problems: its window over the main window; then the catalogue follows its
// mends, and the type it names is selected and focused. The control that
// shows that type, null for none, with the action to open the editor on in
// action ("" for none).
HWND RunProblems(MainWindow& main, std::string* action);
// Selects a registered type where the catalogue shows it (the tree or its
// list, with the list's tab) and focuses it; the control, null for none.
HWND SelectType(MainWindow& main, const std::string& name);

// The main window's keys (the accelerator table), from its start until it
// closes: a key pressed in the window or one of its controls runs its command.
void StartMainWindowKeys(HWND window);
void StopMainWindowKeys();
// What every main window does as it closes: keys, menus, the dialog.
void CloseMainWindow(MainWindow& main);

// A move to a monitor of another scale (WM_DPICHANGED): the window takes the
// suggested rectangle (the system scales the dialog's controls) and its
// pictures come again at the new scale; the caller shows its pane again.
void FollowDpiChange(HWND window, WPARAM wParam, LPARAM lParam);

// The two etched rules of the details pane, between the dialog-unit x
// co-ordinates left and right of the template.
void PaintDetailsRules(HWND window, int left, int right);
