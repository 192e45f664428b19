// The About box (dialog 2000): product name, version, description and the
// links to the home page and the contact address.
#pragma once
#include <windows.h>

// Runs the About box modally, owned by the main window; only its close box
// ends it.
void RunAboutBox(HWND owner);
