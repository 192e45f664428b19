// What every window of the program draws from: the module that holds the
// dialog templates and icons, and the image lists, made by start-up.
#pragma once
#include <windows.h>
#include <commctrl.h>

struct AppUiRecord {
    HINSTANCE Instance;
    HIMAGELIST SmallSystemImages;
    HIMAGELIST LargeSystemImages;
    HIMAGELIST Images32; // filled by the icon picker
    HIMAGELIST Images16; // 0 added, 1 deleted, 2 "System" tab, 3 user's tab
};

extern AppUiRecord AppUi;

// Image indexes of AppUi.Images16.
enum Images16Index {
    kImage16Added = 0,
    kImage16Deleted = 1,
    kImage16SystemTab = 2,
    kImage16UserTab = 3
};
