// The property editor (dialog 1500): the Icon, Open, Edit Flags and Actions
// pages on a tab control, in which an extension is created, edited or
// customised.
#pragma once
#include "records/file_type.h"

#include <windows.h>

#include <string>

// Runs the editor modally over owner, on a copy of read: editorMode is
// kEditorEdit, kEditorCreate (read is the new extension's NewFileType) or
// kEditorCustomize. True when a save was written whole; a save the system
// refused leaves the editor open, says so, and changes nothing. Given an
// action's verb, the editor opens on the Actions page with that action
// selected.
bool RunPropertyEditor(HWND owner, uint32_t editorMode, const FileType& read, RunMode mode,
                       const std::string& action = "");
