// Reaching the property editor (dialog 1500) and its pages from a script.
#pragma once
#include "harness/dialog_driver.h"

#include <string>

namespace kvt {

// The open editor.
HWND WaitForEditor(User& user);
// The control with this id on whichever page of the editor holds it.
HWND EditorControl(HWND editor, int id);
// The page (a child dialog of the editor) that holds the control.
HWND EditorPage(HWND editor, int id);
// Double-clicks the extension in the main window's list ("System"), which
// opens the editor in Customize mode, and returns the editor.
HWND CustomizeFromList(User& user, HWND mainWindow, const std::string& extension);
// Double-clicks the extension in the main window's tree, which opens the
// editor in Edit mode, and returns the editor.
HWND EditFromTree(User& user, HWND mainWindow, const std::string& extension);
// Double-clicks the extension in the admin main window's list (Edit mode).
HWND EditFromAdminList(User& user, HWND mainWindow, const std::string& extension);

// Clicks the tab of a page (0 "Icon", 1 "Open", 2 "Edit Flags") and waits
// until the page shows; returns the page.
HWND ShowEditorPage(User& user, HWND editor, int tab);

bool IsChecked(HWND box);
// Puts the caret at the end of an edit, as a click behind its text does.
void MoveCaretToEnd(HWND edit);

} // namespace kvt
