// The General page (dialog 1600, tab "Icon") of the property editor: the
// description, the icon and where it comes from, the perceived type and the
// content type.
#pragma once
#include <windows.h>

INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Called by the editor frame while it initialises, in this order. Both lists
// start with "[ NONE ]" only when ExtensionRecord.NoneAllowed is 1.
void FillPerceivedTypes();
// The subkeys of the machine's MIME database, in the registry's order.
void FillContentTypes();
