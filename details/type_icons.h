// The icons a window shows for a file type and for a program, loaded at the
// size of the control that shows them, with the file and folder labels of
// the type's icon.
#pragma once
#include "platform/handles.h"
#include "records/file_type.h"
#include "resources/texts.h"

#include <windows.h>

#include <string>

// The system's icon size for a control's monitor.
int TypeIconSize(HWND control, bool small);

// The type's icons (owned here until released) and where they come from,
// as the labels show it: in user mode the shell's icons for the extension
// and the folder and file of the icon location ("Unknown" where it gives no
// label; the caller shows the program's labels where there is no location);
// in admin mode (and for a link type) those of the class's DefaultIcon, or the system's error icon
// where the extension has no class at all. In user mode a type without a
// location of its own shows the program's labels.
struct TypeIconView {
    IconOwner Large;
    IconOwner Small;
    std::string File;
    std::string Folder;
};
TypeIconView ViewTypeIcon(const FileType& type, RunMode mode, int largeSize, int smallSize);

// The shell's icon for files of path's type (a program's, for a program).
HICON FileTypeIcon(const std::string& path, int size);

// What a window shows of the program a double-click runs: in user mode the
// program the shell found, its folder in long form; in admin mode the stored
// command split (a rundll32 command shows its program alone). "Unknown"
// where there is none.
struct ProgramView {
    std::string Name = kTextUnknown;
    std::string File = kTextUnknown;
    std::string Folder = kTextUnknown;
    std::string Args = kTextUnknown;
    std::string IconOf; // the file whose type's icon stands for the program; "" for none
};
ProgramView ViewProgram(const FileOpener& opens, RunMode mode);
