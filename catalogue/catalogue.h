// The catalogue: every "."-key below Software\Classes of the machine's hive
// and, in user mode, of the user's hive, and every link type (a class with
// a "URL Protocol" value, named by its scheme), shown in the main window's
// lists ("System", "Links") and tree ("User Customized", "User Defined"),
// and every change of those controls after a save, a delete or a restore.
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
// window: the list ("System", or every extension in admin mode) and the list
// of link types under the tabs' "Links" (the machine's alone in user mode),
// in user mode the tree with its two groups (extensions and link types
// alike), and the status bar with the counts: the extensions' in its first
// part, the link types' in its second once they are read.
struct CatalogueView {
    RunMode Mode = RunMode::User;
    HWND Window = nullptr; // the main window, which the loader hands its parts to
    HWND StatusBar = nullptr;
    HWND List = nullptr;
    HWND Links = nullptr;
    HWND Tree = nullptr;
    HTREEITEM CustomizedRoot = nullptr;
    HTREEITEM DefinedRoot = nullptr;
    bool LinksLoaded = false;
};

// The list that holds name (an extension or a link type) when it is a
// "System" one, or every one in admin mode.
HWND ListOf(const CatalogueView& view, const char* name);

// Control set-up done by the main window before loading starts: the lists'
// column, the status bar's two parts, and in user mode the tree's groups
// "User Customized" and "User Defined".
void PrepareCatalogue(CatalogueView* view);

// Stops list and tree from redrawing until the load ends, and starts
// LoadCatalogue on its own thread; the thread handle is closed at once.
void StartCatalogueLoad(const CatalogueView& view);
// The loader thread: enumerates both hives off the user-interface thread and
// hands the names to the main window in parts as it goes; once the
// extensions are shown, it reads which classes are link types, a question
// to each class, and hands those over last.
DWORD WINAPI LoadCatalogue(LPVOID);
// On the user-interface thread: puts a part's names into the controls; after
// the last part of extensions, selects the first list item and shows list,
// tree and counts; the part of link types fills their list and counts.
void FillCatalogue(CatalogueView& view, LPARAM part);

// The catalogue without a window, for the command line: every extension of
// the mode (or every link type) with its group, in the registry's order.
enum class CatalogueGroup { System, Customized, Defined };
struct CatalogueEntry {
    std::string Extension; // or a link type's scheme
    CatalogueGroup Group;
};
std::vector<CatalogueEntry> ListCatalogue(RunMode mode);
std::vector<CatalogueEntry> ListLinkTypes(RunMode mode);
// "System", "User Customized" or "User Defined", as the main window says.
const char* GroupName(CatalogueGroup group);

// 1 when Software\Classes\name opens under the hive, else 0.
int HasUserClass(const char* name);
int HasMachineClass(const char* name);
// Whether name is registered in the mode: an extension's key, or a class
// that holds "URL Protocol" (in user mode in either hive).
bool IsRegisteredType(RunMode mode, const char* name);

// Selects a registered type (any letter case) where the catalogue shows it:
// in user mode the first item of the tree named name where the user has it,
// else the row of its list (ListOf), focused and in view. The control that
// shows it; null where none does.
HWND SelectInCatalogue(const CatalogueView& view, const char* name);

// The status text for the counts into out (at least 261 bytes): of
// extensions, or of link types.
void FormatStatusCounts(int adminMode, int total, int customized, int defined, char* out,
                        bool links = false);
// Writes the counts of the controls into the status bar: the extensions' in
// part 0, the link types' in part 1 once they are loaded.
void ShowStatusCounts(const CatalogueView& view);

// The in-place changes after a save, a delete or a restore:
// a saved customisation of the "System" extension (or link type) at row of
// its list: the item moves to the end of "User Customized" and is selected
// there;
void MoveToCustomized(const CatalogueView& view, int row, const char* extension);
// a new extension in user mode: its item under "User Defined", in its sorted
// place, selected;
void ShowNewUserExtension(const CatalogueView& view, const char* extension);
// a new extension (or link type) in admin mode: its row in its list,
// selected, focused and in view;
void ShowNewMachineExtension(const CatalogueView& view, const char* extension);
// a restore: the tree item leaves the tree for the list, selected there;
void MoveToList(const CatalogueView& view, HTREEITEM item, const char* extension);
// a delete in user mode: the tree item goes;
void RemoveTreeItem(const CatalogueView& view, HTREEITEM item);
// a delete in admin mode: the row of list goes, and the row before it (or
// the new first row) is selected; returns that row;
int RemoveListRow(HWND list, int row);
// an undo: the extension's item, wherever it stands, goes to the group the
// registry now gives it (or goes, where it has none), selected there; the
// tree item it got, null where it is in the list or nowhere.
HTREEITEM PlaceExtension(const CatalogueView& view, const char* name);
