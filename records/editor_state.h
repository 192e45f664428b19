// The property editor's process-wide state: its mode and result, what the
// user changed, the collected texts, and the controls of its three pages.
// The writers read all of it while the editor is still open.
#pragma once
#include "text/text.h"

#include <windows.h>

#include <string>
#include <vector>

// The command that opened the editor; it stays set after the editor closes.
constexpr DWORD kEditorEdit = 10005;
constexpr DWORD kEditorCreate = 10010;
constexpr DWORD kEditorCustomize = 10014;

extern DWORD EditorMode;
// 1 when the editor closed without running the writer, 0 when it ran.
extern DWORD EditorDiscarded;

// What the user changed, each 0 or 1. The first nine are zeroed together by
// the General and Opens-with pages when they initialise.
struct ChangedFlags {
    DWORD Icon;
    DWORD PerceivedType;
    DWORD ContentType;
    DWORD Program;
    DWORD Description;
    DWORD Args;
    DWORD DdeApplication;
    DWORD DdeTopic;
    DWORD DdeCommand;
    DWORD EditFlags;
    DWORD OpenWithList;
    DWORD Actions; // zeroed by the Actions page
};
extern ChangedFlags Changed;
void ZeroPageChangedFlags();
bool AnyChanged();

// The texts collected on Save.
struct EditBufferRecord {
    char Description[kNameSize];
    char Args[kNameSize];
    char DdeApplication[kNameSize];
    char DdeTopic[kNameSize];
    char DdeCommand[kNameSize];
    char PerceivedType[12];
    char ContentType[kTextSize];
};
extern EditBufferRecord EditBuffer;

// Controls of the General page (dialog 1600).
struct GeneralPageRecord {
    HWND LargeIcon;        // 1617
    HWND SmallIcon;        // 1616
    HWND IconFile;         // 1613
    HWND IconPath;         // 1611
    HWND Description;      // 1619
    HWND ContentCombo;     // 1602
    HWND PerceivedCombo;   // 1607
    HWND ContentCurrent;   // 1603
    HWND PerceivedCurrent; // 1608
};
extern GeneralPageRecord GeneralPage;

// Controls of the Opens-with page (dialog 1700).
struct OpensWithPageRecord {
    HWND ProgramCombo;   // 1714
    HWND ProgramIcon;    // 1716
    HWND OpensWith;      // 1712
    HWND ProgramFile;    // 1711
    HWND ProgramPath;    // 1708
    HWND Args;           // 1720
    HWND DdeApplication; // 1705
    HWND DdeTopic;       // 1703
    HWND DdeCommand;     // 1701
    HWND RecentList;     // 1721
};
extern OpensWithPageRecord OpensWithPage;

// The EditFlags bits that have a check box on the Edit Flags page (1801 to
// 1819, in the order of EditFlagBits) and the page's box handles.
constexpr int kEditFlagBoxCount = 19;
struct EditFlagsPageRecord {
    HWND Boxes[kEditFlagBoxCount];
    // Bits of the filled value that have no box: not shown, but written back
    // with the boxes' bits, so that a save keeps them.
    DWORD UnboxedBits;
};
extern EditFlagsPageRecord EditFlagsPage;

// One action (verb) of the class, as the Actions page edits it. The "open"
// action's command and DDE are the Opens-with page's: that page holds them,
// and its writer writes them.
struct ActionRecord {
    std::string Verb;        // the name of its key below "shell"
    std::string DisplayName; // the key's default value; "" for none
    std::string MuiVerb;     // its "MUIVerb", which the shell shows first
    std::string Shown;       // what a person sees: MUIVerb, the display name, or the verb
    std::string Command;
    std::string DdeCommand;
    std::string DdeApplication;
    std::string DdeTopic;
    bool Stored = false; // read from the registry
    // What Save writes: only what the user changed.
    bool DisplayChanged = false;
    bool CommandChanged = false;
    bool DdeChanged = false;
};

// The class's actions as the Actions page leaves them; written on Save.
struct ActionsRecord {
    std::string Class;                // the class they were read from ("" for none)
    std::vector<ActionRecord> Verbs;  // in the registry's order, new ones after
    std::vector<std::string> Removed; // stored verbs whose keys go on Save
    std::string StoredDefault;        // the "shell" key's default value as read
    std::string Default;              // as the page leaves it ("" for none)
};
extern ActionsRecord Actions;

// The pop-up menu of the Recently Used list ("Remove", "Add Program"); the
// frame creates it in user mode.
extern HMENU RecentListMenu;

// Puts icon into an icon control of a page and destroys the icon it replaces,
// unless the details pane still shows that icon: the editor shows the pane's
// icons (handed over, not copied), and the pane stays their owner.
void SetEditorIcon(HWND control, HICON icon);
