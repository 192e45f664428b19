// The Actions page (dialog 1900, tab "Actions") of the property editor: the
// class's verbs as the shell lists them, the default one marked, and New,
// Edit, Remove and Set as Default. The "open" action is the Opens-with
// page's: both show and edit the same. The page writes nothing to the
// registry; on Save the writers read Actions.
#pragma once
#include <windows.h>

INT_PTR CALLBACK ActionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Called by the editor frame once the other pages are filled: the class's
// actions for the editor's mode (none for a new extension), shown.
void FillActions();
