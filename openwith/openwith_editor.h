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

// The open command "New" registers: the program's path in double quotes, a
// blank and "%1" in double quotes, in command (kTextSize bytes). false, and
// command empty, when it is longer than kTextSize holds.
bool BuildOpenCommand(const char* programPath, char* command);
