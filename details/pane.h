// The details pane as controls: its handles, and the setting of its texts
// and icons with the fall-back words of each field.
#pragma once
#include "records/extension_record.h"

// Takes the pane's handles from dialog 1000 or from dialog 1200.
void TakeDetailsPaneUser(HWND dialog);
void TakeDetailsPaneAdmin(HWND dialog);

// A text into a value control; a new icon into an icon control, destroying
// the icon it replaces (null clears it).
void SetPaneText(HWND control, const char* text);
void SetPaneIcon(HWND control, HICON icon);

// FileLabelText applied to a static control; the label is untouched on 0.
int ShowFileLabel(const char* text, HWND label);
// The file-name label rule: the file-name part of text first, the whole text
// when it has no backslash. A text that gives no label at all (empty, as when
// its variables expand past the buffer) puts the fall-back word in both
// labels, never leaving what the extension shown before left there.
void ShowFileLabelOf(const char* text, HWND label, HWND folderLabel);

// Empties the pane: no texts, no icons, "No" for DDE and Edit Flags.
void ClearDetails();
// The fall-backs of the program block (and HasArgs 0), of the icon
// location's labels and icons, and the DDE field with HasDde.
void ShowNoProgram();
void ShowNoIconLocation();
void ShowDde(bool present);
