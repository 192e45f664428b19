// Start-up: fills AppState and decides the run mode.
#pragma once
#include <windows.h>

#include <functional>

// Steps before the main dialog: instance, common controls, directory, image
// lists, the admin test (COM is started by the caller, around the main
// window). Used by KVEL.exe and by the tests, which run
// the same preparation before they drive a dialog.
void PrepareAppState();

// AppState.Images16's pictures at the system's small icon size for dpi; the
// lists and tabs that show them keep the list.
void FillSmallImages(UINT dpi);

// What start-up asks of the user and the system where admin mode was asked
// for by an account that could elevate but runs without (a filtered token
// under User Account Control).
struct ElevationSteps {
    std::function<bool()> AskToRestart;    // the question; true for Yes
    std::function<bool()> RestartElevated; // through the elevation prompt; false: refused or failed
    std::function<void()> SayUserMode;     // KVEL runs in user mode after all
};
enum class StartDecision { UserMode, AdminMode, Restarted };
// Admin mode for a non-empty first argument (commandArgResult 1) in an
// elevated process; the question where the account could elevate (on Yes the
// restart, and, where it does not happen, user mode, said once); user mode
// for everything else, as for an account that cannot elevate.
StartDecision DecideStart(int commandArgResult, bool elevated, bool canElevate,
                          const ElevationSteps& steps);
// The run mode of KVEL.exe into AppState.AdminMode, by DecideStart with the
// system's steps; false when KVEL restarted elevated, and this process ends.
bool ChooseRunMode();

// Runs the main window of the mode until it is closed; returns when it ends.
void RunMainWindow();
