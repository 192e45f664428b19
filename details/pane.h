// The details pane of a main window: its controls, and a file type record
// shown in them with the words each field shows where the record has none.
#pragma once
#include "records/file_type.h"

#include <windows.h>

// The static controls of a main window's pane (dialog 1000 or 1200).
struct DetailsPane {
    HWND LargeIcon = nullptr;
    HWND SmallIcon = nullptr;
    HWND IconFile = nullptr;
    HWND IconPath = nullptr;
    HWND ExtensionLabel = nullptr; // "Extension:", or "Link Type:" for a link type
    HWND Extension = nullptr;
    HWND FileType = nullptr;
    HWND PerceivedType = nullptr;
    HWND ContentType = nullptr;
    HWND ProgramIcon = nullptr;
    HWND OpensWith = nullptr;
    HWND ProgramFile = nullptr;
    HWND ProgramPath = nullptr;
    HWND Args = nullptr;
    HWND Dde = nullptr;
    HWND EditFlags = nullptr;
    HWND Choice = nullptr; // user mode: the class the user chose, which decides
};

DetailsPane TakeDetailsPaneUser(HWND dialog);
DetailsPane TakeDetailsPaneAdmin(HWND dialog);

// The record in the pane: in user mode as the shell shows the type (its
// icons, the program and arguments of what a double-click runs), in admin
// mode as the machine's keys hold it.
void ShowFileType(const DetailsPane& pane, const FileType& type, RunMode mode);
// Empties the pane: no texts, no icons, "No" for DDE and Edit Flags.
void ClearDetails(const DetailsPane& pane);

// A text into a value control (left alone where it shows it already); a new
// icon into an icon control, destroying the icon it replaces (null clears).
void SetPaneText(HWND control, const char* text);
void SetPaneIcon(HWND control, HICON icon);
