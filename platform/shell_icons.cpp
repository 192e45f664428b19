// Icon sources: icons read from icon locations, and the check that keeps
// files the system's icon readers cannot read whole away from them.
#include "platform/shell.h"

#include "platform/handles.h"
#include "platform/shell_parts.h"
#include "text/system_text.h"

#include <shlwapi.h>

#include <mutex>
#include <string>

namespace {

using namespace shell_parts;

// The file of an icon location ("file", "file,index", quoted or not),
// expanded; index gets the number after the last comma (0 without one).
std::string IconFileOf(const std::string& location, int* index) {
    std::string file = Expand(location);
    *index = 0;
    size_t comma = file.find_last_of(',');
    if (comma != std::string::npos) {
        *index = atoi(file.c_str() + comma + 1);
        file = file.substr(0, comma);
    }
    if (file.size() >= 2 && file.front() == '"' && file.back() == '"')
        file = file.substr(1, file.size() - 2);
    return file;
}

// An icon file whose directory and images lie within the file.
bool IsWholeIconFile(HANDLE file, DWORD size) {
    struct {
        WORD reserved, type, count;
    } header = {};
    DWORD read = 0;
    if (!ReadFile(file, &header, sizeof header, &read, nullptr) || read != sizeof header ||
        header.reserved != 0 || (header.type != 1 && header.type != 2) || header.count == 0)
        return false;
    for (WORD entry = 0; entry < header.count; ++entry) {
        BYTE record[16];
        if (!ReadFile(file, record, sizeof record, &read, nullptr) || read != sizeof record)
            return false;
        DWORD bytes = 0, offset = 0;
        memcpy(&bytes, record + 8, sizeof bytes);
        memcpy(&offset, record + 12, sizeof offset);
        if (offset > size || bytes > size - offset)
            return false;
    }
    return true;
}

} // namespace

// The last answer is kept per file, size and time of writing, since the
// details pane asks twice per selection.
bool ShellIsWholeIconSource(const std::string& file) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (file.empty() || !GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    const FileStamp stamp = StampFrom(data);
    static std::mutex lock;
    static std::string lastFile;
    static FileStamp lastStamp;
    static bool lastAnswer = false;
    std::lock_guard<std::mutex> guard(lock);
    if (CompareRegistryNames(file.c_str(), lastFile.c_str()) == 0 && SameStamp(stamp, lastStamp))
        return lastAnswer;
    bool whole = false;
    if (CompareNoCase(PathFindExtensionA(file.c_str()), ".ico") == 0) {
        FileOwner icons(ValidFile(CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
        whole = icons && data.nFileSizeHigh == 0 && IsWholeIconFile(icons.get(), data.nFileSizeLow);
    } else {
        whole =
            ModuleOwner(LoadLibraryExA(file.c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE))
                .get() != nullptr;
    }
    lastFile = file;
    lastStamp = stamp;
    lastAnswer = whole;
    return whole;
}

namespace {

// The name of an icon group as LoadImageA takes it: a number or a text.
struct IconGroupName {
    std::string text;
    WORD id = 0;
    const char* get() const { return text.empty() ? MAKEINTRESOURCEA(id) : text.c_str(); }
};

struct IconGroupSearch {
    int wanted = 0;
    int seen = 0;
    bool found = false;
    IconGroupName name;
};

BOOL CALLBACK FindIconGroup(HMODULE, LPCSTR, LPSTR name, LONG_PTR context) {
    auto* search = reinterpret_cast<IconGroupSearch*>(context);
    if (search->seen++ != search->wanted)
        return TRUE;
    if (IS_INTRESOURCE(name))
        search->name.id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
    else
        search->name.text = name;
    search->found = true;
    return FALSE;
}

// The icon of module that an icon location's index names, as the system's
// icon reader takes it: from 0 up the position among the module's icon groups,
// below 0 the group's resource number.
HICON IconOfModule(HMODULE module, int index, int size) {
    IconGroupSearch search;
    if (index < -0xFFFF)
        return nullptr; // no resource number is that large
    if (index < 0) {
        search.name.id = static_cast<WORD>(-index);
    } else {
        search.wanted = index;
        EnumResourceNamesA(module, RT_GROUP_ICON, FindIconGroup,
                           reinterpret_cast<LONG_PTR>(&search));
        if (!search.found)
            return nullptr;
    }
    return static_cast<HICON>(LoadImageA(module, search.name.get(), IMAGE_ICON, size, size, 0));
}

// Whether the icon location names a file that is there but cannot be read
// whole; a location naming no file at all is harmless.
} // namespace

bool shell_parts::NamesBrokenFile(const std::string& location) {
    if (location.empty() || location[0] == '%')
        return false;
    int index = 0;
    const std::string file = IconFileOf(location, &index);
    if (file.empty() || !FitsBuffer(file.c_str(), kTextSize) ||
        GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES)
        return false;
    return !ShellIsWholeIconSource(file);
}

HICON ShellLoadIconLocation(const char* location, int size) {
    if (!location || !*location)
        return nullptr;
    // What is left of a variable after expansion, such as "%1" (each file
    // its own icon), names no file.
    const std::string expanded = Expand(location);
    if (expanded.empty() || expanded[0] == '%')
        return nullptr;
    int index = 0;
    const std::string file = IconFileOf(location, &index);
    const bool hasIndex = expanded.find(',') != std::string::npos;
    if (file.empty() || !FitsBuffer(file.c_str(), kTextSize) || !ShellIsWholeIconSource(file))
        return nullptr;
    if (!hasIndex && CompareNoCase(PathFindExtensionA(file.c_str()), ".ico") == 0)
        return static_cast<HICON>(
            LoadImageA(nullptr, file.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE));
    if (ReadScopeNumber())
        if (HMODULE module = ScopedModule(file))
            return IconOfModule(module, index, size);
    HICON icon = nullptr;
    UINT found = PrivateExtractIconsA(file.c_str(), index, size, size, &icon, nullptr, 1, 0);
    if (found == 0 || found == 0xFFFFFFFF)
        return nullptr;
    return icon;
}

HICON ShellGenericDocumentIcon(int size) {
    HICON icon = nullptr;
    UINT found = PrivateExtractIconsA("shell32.dll", 0, size, size, &icon, nullptr, 1, 0);
    if (found == 0 || found == 0xFFFFFFFF)
        return static_cast<HICON>(
            CopyImage(LoadIconA(nullptr, IDI_APPLICATION), IMAGE_ICON, size, size, 0));
    return icon;
}
