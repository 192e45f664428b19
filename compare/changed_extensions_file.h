// The changed-extensions file ("kvels"): the result of a comparison, saved on
// request with a description of the user's choice.
#pragma once
#include "compare/changed_extensions_text.h"

#include <windows.h>

// The text of the "Description:" field, taken when the user confirms a name.
extern char SaveDescription[kSaveDescriptionSize];

// On the compare worker thread: asks for a file name and writes the rows of
// the result list to that file; says so when the file could not be written.
void SaveChangedExtensions();

// Hook of the save dialog: adds the "Description:" field and reads it when the
// user confirms the name.
UINT_PTR CALLBACK SaveDialogHook(HWND hook, UINT message, WPARAM wParam, LPARAM lParam);
