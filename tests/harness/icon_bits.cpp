#include "harness/icon_bits.h"

#include "records/app_state.h"

namespace kvt {

std::vector<BYTE> IconBits(HICON icon) {
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info))
        return {};
    BITMAP bitmap = {};
    GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = bitmap.bmWidth;
    format.bmiHeader.biHeight = bitmap.bmHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<BYTE> bits(static_cast<size_t>(bitmap.bmWidth) * bitmap.bmHeight * 4);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, info.hbmColor, 0, bitmap.bmHeight, bits.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bits;
}

std::vector<BYTE> FileIconBits(const std::string& file, int size) {
    HICON icon = static_cast<HICON>(
        LoadImageA(nullptr, file.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE));
    std::vector<BYTE> bits = IconBits(icon);
    if (icon)
        DestroyIcon(icon);
    return bits;
}

std::string TestIcon(const std::string& file) {
    return std::string(AppState.AppDirectory) + "testdata\\icons\\" + file;
}

} // namespace kvt
