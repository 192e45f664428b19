// The registered applications, the sub-keys of "Software\Classes\Applications"
// named by a program's file name: their commands, the programs they stand
// for, and the names and icons the program lists show for them (the
// Opens-with page's combo, its Recently Used list and "Add Program" menu,
// and the Open-With program editor).
#pragma once
#include <windows.h>

// The command of applications\<application>\<verbKey> (kOpenCommandKey or
// kEditCommandKey) into command (kTextSize bytes); applications is an open
// "Applications" key of a hive or of the merged view. False when that key
// does not open; a key without a readable command gives an empty one.
bool ReadApplicationCommand(HKEY applications, const char* application, const char* verbKey,
                            char* command);
// The program an application stands for: the folder of its command (up to
// the last backslash, past an opening quote) followed by the application key
// name, environment variables expanded, into path (kTextSize bytes). A path
// that does not fit is none: false, and path empty.
bool ApplicationProgramPath(const char* command, const char* application, char* path);
// The program's friendly name (by file name, as the shell names programs)
// into name (kTextSize bytes); false, and name empty, when there is none.
bool ProgramFriendlyName(const char* program, char* name);
// The system image list's index of the icon of a file of program's type;
// flags adds SHGFI_SMALLICON or the like to SHGFI_SYSICONINDEX.
int ProgramIconIndex(const char* program, UINT flags);
// The small icon index of the program an application key name stands for.
int ApplicationIconIndex(const char* application);
