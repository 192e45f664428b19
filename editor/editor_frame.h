// The property editor (dialog 1500): the General, Opens-with and Edit-flags
// pages on a tab control, in which an extension is created, edited or
// customised.
#pragma once
#include <windows.h>

// Runs the editor modally over the main window. mode is kEditorEdit,
// kEditorCreate (on NewExtensionName) or kEditorCustomize
// (editor/editor_state.h); afterwards EditorMode and EditorDiscarded tell
// what happened.
void RunPropertyEditor(DWORD mode);
