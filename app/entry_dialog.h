// The name entry (dialog 3000) in its roles: "Create New Extension",
// "Create New Link Type" and "Find extension". A type that is registered
// already is selected in the catalogue; a new one is created in the
// property editor.
#pragma once
#include "app/main_window_shared.h"

#include <windows.h>

// Both run modally over the main window and return when the entry closes and
// whatever it led to (the property editor) has ended.
void RunNewExtensionDialog(MainWindow& main);
// A new link type's scheme, checked by the rules of URI schemes.
void RunNewLinkTypeDialog(MainWindow& main);
void RunFindDialog(MainWindow& main);

// The edit control's filter: refuses the characters a name cannot hold, the
// context menu and pasting; passes everything else on.
LRESULT CALLBACK ExtensionNameFilter(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);
