// The registered applications' keys below "Software\Classes\Applications",
// each change whole or not at all, and kept for Undo.
#pragma once
#include "writer/undo.h"

#include <windows.h>

#include <string>

// The open command a new registration holds: the program's path in double
// quotes, a blank and "%1" in double quotes, in command (kTextSize bytes).
// false, and command empty, when it is longer than kTextSize holds.
bool BuildOpenCommand(const char* programPath, char* command);

// The user's registration of the program whose file name is fileName. Every
// key on the way is created, since a fresh profile has no "Applications" key
// of its own.
ChangeOutcome RegisterApplication(const std::string& fileName, const std::string& programPath);
// An application's whole key of hive.
ChangeOutcome RemoveApplication(HKEY hive, const std::string& application);
