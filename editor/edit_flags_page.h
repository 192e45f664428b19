// The Edit-flags page (dialog 1800, tab "Edit Flags") of the property editor:
// one check box per supported EditFlags bit.
#pragma once
#include <windows.h>

INT_PTR CALLBACK EditFlagsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
