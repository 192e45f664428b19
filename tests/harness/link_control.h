// Drives link controls (SysLink) as a person does.
#pragma once
#include <windows.h>

namespace kvt {

// Clicks the first link of the control with the mouse: the control itself
// then tells its parent (NM_CLICK). False when no point of the control is on
// a link.
bool ClickLink(HWND link);

} // namespace kvt
