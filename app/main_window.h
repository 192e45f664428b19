// Dialog procedures of the two main windows (dialog 1000 in user mode, dialog
// 1200 in admin mode).
#pragma once
#include <windows.h>

INT_PTR CALLBACK UserMainWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AdminMainWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
