// The process-wide record of handles and run-mode state, filled by start-up.
#pragma once
#include "platform/handles.h"
#include "text/text.h"

#include <windows.h>
#include <commctrl.h>

struct AppStateRecord {
    HINSTANCE Instance;
    HANDLE Heap;
    char AppDirectory[kTextSize]; // with its trailing backslash
    HIMAGELIST SmallSystemImages;
    HIMAGELIST LargeSystemImages;
    HIMAGELIST Images32; // filled by the icon picker
    HIMAGELIST Images16; // 0 added, 1 deleted, 2 "System" tab, 3 user's tab
    int UserIsAdmin;
    int AdminMode;
    HWND MainWindow;
    HWND StatusBar;
    HWND ExtensionList;
    HWND ExtensionTree; // user mode only
    HTREEITEM CustomizedRoot;
    HTREEITEM DefinedRoot;
    HMENU ListMenu;
    HMENU TreeMenu; // user mode only
    int CurrentListIndex;
    HTREEITEM CurrentTreeItem;
};

extern AppStateRecord AppState;

// Image indexes of AppState.Images16.
enum Images16Index {
    kImage16Added = 0,
    kImage16Deleted = 1,
    kImage16SystemTab = 2,
    kImage16UserTab = 3
};

// A block of AppState.Heap, freed when its owner goes.
void FreeHeapBlock(void* block);
using HeapBlock = Owned<void*, FreeHeapBlock>;
// A zero-filled block of size bytes on AppState.Heap (null when there is no room).
void* AllocateHeapBlock(size_t size);
