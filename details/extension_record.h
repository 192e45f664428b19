// The extension record: the properties of the selected extension as shown in
// the details pane of the main window, the flags beside it, and its readers.
#pragma once
#include <windows.h>
#include <shellapi.h>

// Buffers of the record: 260-byte names and 261-byte working texts.
constexpr DWORD kNameSize = 260;
constexpr DWORD kTextSize = 261;

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

// Takes the pane's handles from dialog 1000 or from dialog 1200.
void TakeDetailsPaneUser(HWND dialog);
void TakeDetailsPaneAdmin(HWND dialog);

// Pane helpers: a text into a value control; a new icon into an icon control,
// destroying the icon it replaces (null clears it).
void SetPaneText(HWND control, const char* text);
void SetPaneIcon(HWND control, HICON icon);

// The class lookup on an open extension key: its default value, else the
// name of the first value of its "OpenWithProgIDs" sub-key (empty when that
// sub-key has none). 1 with the class in fileClass (kTextSize bytes), or 0
// and fileClass empty when the extension has no class.
int LookupFileClass(HKEY extensionKey, char* fileClass);

// User mode: the whole pane for CurrentExtension (extension, the shell's
// icons and type name, then the readers below).
void ShowDetails();
// Empties the pane: no texts, no icons, "No" for DDE and Edit Flags.
void ClearDetails();
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
