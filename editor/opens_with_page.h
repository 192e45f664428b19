// The Opens-with page (dialog 1700, tab "Open") of the property editor: the
// program of the open command chosen from the registered applications, its
// arguments, the three DDE settings, and the user's "Recently Used" programs.
// The page writes nothing to the registry; the writers read its controls.
#pragma once
#include "records/editor_state.h"

#include <windows.h>

INT_PTR CALLBACK OpensWithPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Called by the editor frame while it initialises, in this order.
void FillProgramCombo();
void FillRecentList();                 // user mode
void BuildAddProgramMenu(HMENU popup); // user mode, on RecentListMenu
void PruneAddProgramMenu();            // user mode
void ReadDdeMachine();                 // admin mode, only when the extension has DDE

// The "open" action as the page holds it (its command composed from the
// program and arguments shown, and its DDE), into action; the Actions page
// shows and edits the same action.
void ReadOpenActionFromPage(ActionRecord* action);
// Puts the "open" action's command and DDE into the page: as changes (each
// part that differs marked for Save), or its command as stored, where the
// pane showed the program of another action (a default one, or the user's
// choice).
// Forgotten: the page's changes of the "open" action, when the Actions page
// removes it.
void ShowOpenActionInPage(const ActionRecord& action, bool asChange);
void ForgetOpenActionChanges();

// Releases the application key names that the program combo, the Recently
// Used list and the "Add Program" submenu hold as item data, and empties them;
// the frame calls it when it closes, before it destroys RecentListMenu. The
// page calls it again when it is destroyed, which finds nothing left to free.
void ReleaseOpensWithItemData();
