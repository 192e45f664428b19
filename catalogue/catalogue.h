// The extension catalogue: every "."-key below Software\Classes of the
// machine's hive and, in user mode, of the user's hive, shown in the main
// window's list ("System") and tree ("User Customized", "User Defined"), and
// every change of those controls after a save, a delete or a restore.
#pragma once
#include "records/file_type.h"
#include "text/text.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

// A key name is read into a buffer for 49 characters: names of 50 characters
// or more are left out of the catalogue.
constexpr DWORD kExtensionNameSize = BufferFor(49);

// Posted by the loader to the main window with each part of the catalogue
// (lParam), the last part after the registry has been read; the main window
// answers it with FillCatalogue on its own thread.
constexpr UINT kCatalogueLoadedMessage = WM_APP + 1;

// The controls of a main window that show the catalogue, owned by that
// window: the list ("System", or every extension in admin mode), in user
// mode the tree with its two groups, and the status bar with the counts.
struct CatalogueView {
    RunMode Mode = RunMode::User;
    HWND Window = nullptr; // the main window, which the loader hands its parts to
    HWND StatusBar = nullptr;
    HWND List = nullptr;
    HWND Tree = nullptr;
    HTREEITEM CustomizedRoot = nullptr;
    HTREEITEM DefinedRoot = nullptr;
};

// Control set-up done by the main window before loading starts: the list's
// column, and in user mode the tree's groups "User Customized" and "User
// Defined".
void PrepareCatalogue(CatalogueView* view);

// Stops list and tree from redrawing until the load ends, and starts
// LoadCatalogue on its own thread; the thread handle is closed at once.
void StartCatalogueLoad(const CatalogueView& view);
// The loader thread: enumerates both hives off the user-interface thread and
// hands the names to the main window in parts as it goes.
DWORD WINAPI LoadCatalogue(LPVOID);
// On the user-interface thread: puts a part's names into the controls; after
// the last part, selects the first list item and shows list, tree and counts.
void FillCatalogue(const CatalogueView& view, LPARAM part);

// The catalogue without a window, for the command line: every extension of
// the mode with its group, in the registry's order.
enum class CatalogueGroup { System, Customized, Defined };
struct CatalogueEntry {
    std::string Extension;
    CatalogueGroup Group;
};
std::vector<CatalogueEntry> ListCatalogue(RunMode mode);
// "System", "User Customized" or "User Defined", as the main window says.
const char* GroupName(CatalogueGroup group);

// 1 when Software\Classes\name opens under the hive, else 0.
int HasUserClass(const char* name);
int HasMachineClass(const char* name);

// Selects a registered extension (any letter case) where the catalogue shows
// it: in user mode the first item of the tree named name where the user has
// it, else the list's row, focused and in view. The control that shows it;
// null where neither does.
HWND SelectInCatalogue(const CatalogueView& view, const char* name);

// The status text for the counts into out (at least 261 bytes).
void FormatStatusCounts(int adminMode, int total, int customized, int defined, char* out);
// Writes the counts of the controls into part 0 of the status bar.
void ShowStatusCounts(const CatalogueView& view);

// The in-place changes after a save, a delete or a restore:
// a saved customisation of the "System" extension at row: the list item
// moves to the end of "User Customized" and is selected there;
void MoveToCustomized(const CatalogueView& view, int row, const char* extension);
// a new extension in user mode: its item under "User Defined", in its sorted
// place, selected;
void ShowNewUserExtension(const CatalogueView& view, const char* extension);
// a new extension in admin mode: its row in the list, selected, focused and
// in view;
void ShowNewMachineExtension(const CatalogueView& view, const char* extension);
// a restore: the tree item leaves the tree for the list, selected there;
void MoveToList(const CatalogueView& view, HTREEITEM item, const char* extension);
// a delete in user mode: the tree item goes;
void RemoveTreeItem(const CatalogueView& view, HTREEITEM item);
// a delete in admin mode: the row goes, and the row before it (or the new
// first row) is selected; returns that row;
int RemoveListRow(const CatalogueView& view, int row);
// an undo: the extension's item, wherever it stands, goes to the group the
// registry now gives it (or goes, where it has none), selected there; the
// tree item it got, null where it is in the list or nowhere.
HTREEITEM PlaceExtension(const CatalogueView& view, const char* name);
