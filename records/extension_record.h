// The extension record: the properties of the selected extension as the
// details pane of the main window shows them (the pane is the record as
// displayed), the flags beside it, and the names the main window and the
// entry dialog give the readers and the editor.
#pragma once
#include "text/text.h"

#include <windows.h>
#include <shellapi.h>

// The selected extension with its leading dot, and the name typed for a new one.
extern char CurrentExtension[kNameSize];
extern char NewExtensionName[kNameSize];

// Static controls of the details pane; the pane is the record as displayed.
struct DetailsPaneRecord {
    HWND LargeIcon;
    HWND SmallIcon;
    HWND IconFile;
    HWND IconPath;
    HWND Extension;
    HWND FileType;
    HWND PerceivedType;
    HWND ContentType;
    HWND ProgramIcon;
    HWND OpensWith;
    HWND ProgramFile;
    HWND ProgramPath;
    HWND Args;
    HWND Dde;
    HWND EditFlags;
    HWND Choice; // user mode: the class the user chose, which decides
};
extern DetailsPaneRecord DetailsPane;

// Flags beside the pane, each 0 or 1.
struct ExtensionRecordFlags {
    DWORD HasDde;      // the open verb has DDE settings
    DWORD HasArgs;     // Args holds the open command's arguments, not a fall-back
    DWORD NoneAllowed; // tree item outside "User Customized": "[ NONE ]" is offered
};
extern ExtensionRecordFlags ExtensionRecord;

// The default icon location exactly as stored, nothing expanded.
extern char IconLocation[kNameSize];
// The latest answer of the shell's file information.
extern SHFILEINFOA ShellFileInfo;
