// Tells the shell that file associations have changed, while a small modal
// "Please Wait..." window (dialog 1400) is shown.
#pragma once
#include <windows.h>

// Runs dialog 1400 owned by owner (null: no owner) until the notification has
// been sent, or until the user presses Esc; the notification is sent either way.
void RunShellRefresh(HWND owner);
