// Start-up: fills AppState and decides the run mode.
#pragma once
#include <windows.h>

// Steps before the main dialog: instance, common controls, directory, image
// lists, the admin test (COM is started by the caller, around the main
// window). Used by KVEL.exe and by the tests, which run
// the same preparation before they drive a dialog.
void PrepareAppState();

// 1 (admin mode) only when the first command-line argument exists and is not
// empty (commandArgResult 1) and the user is an administrator (userIsAdmin 1).
int DecideAdminMode(int commandArgResult, int userIsAdmin);

// Runs the main window of the mode until it is closed; returns when it ends.
void RunMainWindow();
