// The Open-With program editor (dialog 7000): the applications registered
// below "Software\Classes\Applications" of the editor's hive, shown as icons;
// "New" registers a program for the current user, "Delete" removes an
// application's whole key.
#pragma once
#include "records/file_type.h"

#include <windows.h>

// Runs the editor modally, owned by owner, on the mode's applications;
// returns when it closes.
void RunOpenWithEditor(HWND owner, RunMode mode);
