#include "robustness/handle_balance.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <mutex>
#include <set>

namespace kvr {

namespace {

std::mutex g_lock;
std::set<HICON> g_icons;
std::set<HGDIOBJ> g_gdiObjects;
std::set<HMENU> g_menus;
// A module may be loaded more than once; each load wants its own free.
std::multiset<HMODULE> g_modules;

template <typename Handle> void Made(std::set<Handle>* made, Handle handle) {
    if (!handle)
        return;
    std::lock_guard<std::mutex> guard(g_lock);
    made->insert(handle);
}

template <typename Handle> void Gone(std::set<Handle>* made, Handle handle) {
    std::lock_guard<std::mutex> guard(g_lock);
    made->erase(handle);
}

// The system's functions, as the import table held them.
decltype(&CopyIcon) g_copyIcon;
decltype(&CopyImage) g_copyImage;
decltype(&LoadImageA) g_loadImage;
decltype(&ExtractAssociatedIconA) g_extractAssociatedIcon;
decltype(&ImageList_GetIcon) g_imageListGetIcon;
decltype(&PrivateExtractIconsA) g_privateExtractIcons;
decltype(&SHGetFileInfoA) g_shGetFileInfo;
decltype(&DestroyIcon) g_destroyIcon;
decltype(&CreateFontIndirectA) g_createFontIndirect;
decltype(&CreatePen) g_createPen;
decltype(&DeleteObject) g_deleteObject;
decltype(&CreatePopupMenu) g_createPopupMenu;
decltype(&DestroyMenu) g_destroyMenu;
decltype(&LoadLibraryExA) g_loadLibraryEx;
decltype(&FreeLibrary) g_freeLibrary;

HICON WINAPI CountCopyIcon(HICON icon) {
    HICON copy = g_copyIcon(icon);
    Made(&g_icons, copy);
    return copy;
}

HANDLE WINAPI CountCopyImage(HANDLE image, UINT type, int cx, int cy, UINT flags) {
    HANDLE copy = g_copyImage(image, type, cx, cy, flags);
    if (type == IMAGE_ICON || type == IMAGE_CURSOR)
        Made(&g_icons, static_cast<HICON>(copy));
    else
        Made(&g_gdiObjects, static_cast<HGDIOBJ>(copy));
    return copy;
}

HANDLE WINAPI CountLoadImage(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy,
                             UINT flags) {
    HANDLE image = g_loadImage(instance, name, type, cx, cy, flags);
    if (!(flags & LR_SHARED)) {
        if (type == IMAGE_ICON || type == IMAGE_CURSOR)
            Made(&g_icons, static_cast<HICON>(image));
        else
            Made(&g_gdiObjects, static_cast<HGDIOBJ>(image));
    }
    return image;
}

HICON WINAPI CountExtractAssociatedIcon(HINSTANCE instance, LPSTR path, LPWORD index) {
    HICON icon = g_extractAssociatedIcon(instance, path, index);
    Made(&g_icons, icon);
    return icon;
}

HICON WINAPI CountImageListGetIcon(HIMAGELIST list, int index, UINT flags) {
    HICON icon = g_imageListGetIcon(list, index, flags);
    Made(&g_icons, icon);
    return icon;
}

UINT WINAPI CountPrivateExtractIcons(LPCSTR file, int index, int cx, int cy, HICON* icons,
                                     UINT* ids, UINT count, UINT flags) {
    UINT found = g_privateExtractIcons(file, index, cx, cy, icons, ids, count, flags);
    if (icons && found != 0xFFFFFFFF)
        for (UINT i = 0; i < found && i < count; ++i)
            Made(&g_icons, icons[i]);
    return found;
}

DWORD_PTR WINAPI CountShGetFileInfo(LPCSTR path, DWORD attributes, SHFILEINFOA* info, UINT size,
                                    UINT flags) {
    DWORD_PTR result = g_shGetFileInfo(path, attributes, info, size, flags);
    if (info && (flags & SHGFI_ICON))
        Made(&g_icons, info->hIcon);
    return result;
}

BOOL WINAPI CountDestroyIcon(HICON icon) {
    Gone(&g_icons, icon);
    return g_destroyIcon(icon);
}

HFONT WINAPI CountCreateFontIndirect(const LOGFONTA* font) {
    HFONT made = g_createFontIndirect(font);
    Made(&g_gdiObjects, static_cast<HGDIOBJ>(made));
    return made;
}

HPEN WINAPI CountCreatePen(int style, int width, COLORREF color) {
    HPEN pen = g_createPen(style, width, color);
    Made(&g_gdiObjects, static_cast<HGDIOBJ>(pen));
    return pen;
}

BOOL WINAPI CountDeleteObject(HGDIOBJ object) {
    Gone(&g_gdiObjects, object);
    return g_deleteObject(object);
}

HMENU WINAPI CountCreatePopupMenu() {
    HMENU menu = g_createPopupMenu();
    Made(&g_menus, menu);
    return menu;
}

BOOL WINAPI CountDestroyMenu(HMENU menu) {
    Gone(&g_menus, menu);
    return g_destroyMenu(menu);
}

HMODULE WINAPI CountLoadLibraryEx(LPCSTR file, HANDLE reserved, DWORD flags) {
    HMODULE module = g_loadLibraryEx(file, reserved, flags);
    if (module) {
        std::lock_guard<std::mutex> guard(g_lock);
        g_modules.insert(module);
    }
    return module;
}

BOOL WINAPI CountFreeLibrary(HMODULE module) {
    {
        std::lock_guard<std::mutex> guard(g_lock);
        auto loaded = g_modules.find(module);
        if (loaded != g_modules.end())
            g_modules.erase(loaded);
    }
    return g_freeLibrary(module);
}

// Puts replacement into every slot of the import table that imports
// function from dll, and keeps what the slot held in *original.
template <typename Function>
void Redirect(const char* dll, const char* function, Function replacement, Function* original) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
    for (; descriptor->Name; ++descriptor) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + descriptor->Name), dll) != 0 ||
            !descriptor->OriginalFirstThunk)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), function) != 0)
                continue;
            DWORD protection = 0;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE,
                           &protection);
            *original = reinterpret_cast<Function>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
        }
    }
}

} // namespace

void CountProgramHandles() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        Redirect("user32.dll", "CopyIcon", &CountCopyIcon, &g_copyIcon);
        Redirect("user32.dll", "CopyImage", &CountCopyImage, &g_copyImage);
        Redirect("user32.dll", "LoadImageA", &CountLoadImage, &g_loadImage);
        Redirect("user32.dll", "PrivateExtractIconsA", &CountPrivateExtractIcons,
                 &g_privateExtractIcons);
        Redirect("user32.dll", "DestroyIcon", &CountDestroyIcon, &g_destroyIcon);
        Redirect("user32.dll", "CreatePopupMenu", &CountCreatePopupMenu, &g_createPopupMenu);
        Redirect("user32.dll", "DestroyMenu", &CountDestroyMenu, &g_destroyMenu);
        Redirect("kernel32.dll", "LoadLibraryExA", &CountLoadLibraryEx, &g_loadLibraryEx);
        Redirect("kernel32.dll", "FreeLibrary", &CountFreeLibrary, &g_freeLibrary);
        Redirect("shell32.dll", "ExtractAssociatedIconA", &CountExtractAssociatedIcon,
                 &g_extractAssociatedIcon);
        Redirect("shell32.dll", "SHGetFileInfoA", &CountShGetFileInfo, &g_shGetFileInfo);
        Redirect("comctl32.dll", "ImageList_GetIcon", &CountImageListGetIcon, &g_imageListGetIcon);
        Redirect("gdi32.dll", "CreateFontIndirectA", &CountCreateFontIndirect,
                 &g_createFontIndirect);
        Redirect("gdi32.dll", "CreatePen", &CountCreatePen, &g_createPen);
        Redirect("gdi32.dll", "DeleteObject", &CountDeleteObject, &g_deleteObject);
    });
}

HandleBalance LiveProgramHandles() {
    std::lock_guard<std::mutex> guard(g_lock);
    HandleBalance balance;
    for (HICON icon : g_icons) {
        ICONINFO info = {};
        if (GetIconInfo(icon, &info)) {
            ++balance.icons;
            // Past the counter, which holds the lock.
            auto deleteObject = g_deleteObject ? g_deleteObject : &DeleteObject;
            if (info.hbmMask)
                deleteObject(info.hbmMask);
            if (info.hbmColor)
                deleteObject(info.hbmColor);
        }
    }
    for (HGDIOBJ object : g_gdiObjects)
        balance.gdiObjects += GetObjectType(object) != 0 ? 1 : 0;
    for (HMENU menu : g_menus)
        balance.menus += IsMenu(menu) ? 1 : 0;
    balance.modules = static_cast<long>(g_modules.size());
    return balance;
}

} // namespace kvr
