// The readers of the extension record: they fill the details pane for
// CurrentExtension, in user mode through the merged classes view and the
// shell's association answers, in admin mode from the machine's classes.
#pragma once
#include "records/extension_record.h"

// User mode: the whole pane for CurrentExtension (extension, the shell's
// icons and type name, then the readers below).
void ShowDetails();
// EditFlags "Yes" or "No": whether the class under hive has the value.
void ShowEditFlagsTest(HKEY hive);

// User mode, in the order ShowDetails calls them; every read goes through the
// merged classes view.
void ReadContentType();
void ReadPerceivedType();
void ReadOpenCommand();
void ReadDefaultIconLabels();

// Admin mode: the whole pane from HKEY_LOCAL_MACHINE\Software\Classes.
void ReadDetailsAdminMode();

// The EditFlags value of the extension's class under hive.
enum EditFlagsQuery : DWORD { kEditFlagsTest = 1, kEditFlagsFill = 2 };
// Test mode: 1 when the value exists (4 bytes at most), else 0. Any other
// mode checks the Edit Flags page's boxes of the value's bits.
DWORD QueryEditFlags(DWORD mode, HKEY hive);

// User mode: ProgramPath, ProgramIcon and ProgramFile from the shell's
// executable path.
void ResolveExecutable(const char* executable);
// User mode: IconPath and IconFile from a default icon location.
void ResolveIconLabels(const char* location);
// Admin mode: OpensWith, ProgramFile, ProgramPath, Args, ProgramIcon and
// HasArgs from shell\open\command; rewrites command as NormaliseOpenCommand.
void SplitOpenCommand(char* command);
// Admin mode: both icons, IconFile, IconPath and IconLocation from the class's
// DefaultIcon; 0 when the caller is to show "Unknown" in the icon labels.
int ResolveDefaultIcon(const char* location);
// Admin mode: LargeIcon and SmallIcon from icon index "n" or resource id "-n"
// of a module; 1 when an icon was found. The module is always freed.
int LoadIconFromModule(const char* path, const char* indexText);
