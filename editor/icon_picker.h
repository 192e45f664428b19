// The icon picker: the open-file dialog "Browse for Icons" with a list of the
// icons of the selected file beside it. An icon is taken by a click in the
// list, or by opening an ".ico" file.
#pragma once
#include <windows.h>

#include <string>

// Runs the dialog owned by owner, starting in folder; true with the taken
// icon's location ("file,index", or the icon file) when one was taken.
bool BrowseForIcons(HWND owner, const std::string& folder, std::string* location);
