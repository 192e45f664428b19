// The icon picker: the open-file dialog "Browse for Icons" with a list of the
// icons of the selected file beside it. Taking an icon (a click in the list,
// or opening an ".ico" file) sets IconLocation, the General page's icons and
// labels, and Changed.Icon.
#pragma once
#include <windows.h>

// Runs the dialog owned by the General page; returns when it closes.
void BrowseForIcons(HWND owner);
