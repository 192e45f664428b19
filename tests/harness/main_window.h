// Runs the program's main window in a test, as start-up runs it.
#pragma once
#include "harness/dialog_driver.h"

namespace kvt {

// Opens the main window of the mode (dialog 1000 or 1200), waits until the
// catalogue has loaded (the counts are in the status bar), runs the script,
// and returns when the window has closed.
void RunMainWindow(int adminMode, const std::function<void(User&, HWND)>& script);

// The status bar text of the open main window.
std::string StatusText();

// What the details pane of a main window shows: its texts and whether each
// icon control holds an icon.
struct PaneTexts {
    std::string extension, fileType, perceived, content, iconFile, iconPath, opensWith, programFile,
        programPath, args, dde, editFlags;
    bool largeIcon = false, smallIcon = false, programIcon = false;
};
PaneTexts ReadPane(HWND mainWindow, int adminMode);

} // namespace kvt
