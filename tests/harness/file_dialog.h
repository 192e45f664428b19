// Drives the common open and save dialogs (GetOpenFileNameA,
// GetSaveFileNameA) as a person does: look at the file types, type a file
// name, press the OK button ("Open"/"Save") or Cancel.
#pragma once
#include "harness/dialog_driver.h"

#include <string>
#include <vector>

namespace kvt {

// The edit in which a person types the file name; null when there is none.
HWND FileDialogNameEdit(HWND fileDialog);
// The entries of the dialog's list of file types.
std::vector<std::string> FileDialogTypes(HWND fileDialog);
// Types path into the file-name edit, presses OK and waits until the dialog
// has gone.
void ChooseFileInDialog(User& user, HWND fileDialog, const std::string& path);
// Presses Cancel and waits until the dialog has gone.
void CancelFileDialog(User& user, HWND fileDialog);

} // namespace kvt
