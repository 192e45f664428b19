// Icon images as pixels, to tell two icons apart in a test: Wine hands out a
// new handle for every load, so only the images can be compared.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace kvt {

// The 32-bit colour pixels of ICON; empty for a null or unreadable icon. The
// icon stays the caller's.
std::vector<BYTE> IconBits(HICON icon);

// The pixels of the SIZE x SIZE image of the .ico file FILE; empty when it
// cannot be loaded.
std::vector<BYTE> FileIconBits(const std::string& file, int size);

// The path of FILE in the icon fixtures installed beside the test program.
std::string TestIcon(const std::string& file);

} // namespace kvt
