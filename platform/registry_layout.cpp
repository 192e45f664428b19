#include "platform/registry_layout.h"

#include "text/text.h"

namespace {

constexpr char kClassesPrefix[] = "Software\\Classes\\";
constexpr char kFileExtsPrefix[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";
constexpr char kOpenWithListSuffix[] = "\\OpenWithList";

} // namespace

int IsKeyName(const char* name) {
    if (!name || !name[0])
        return 0;
    for (; *name; ++name)
        if (*name == '\\')
            return 0;
    return 1;
}

bool ClassesPath(const char* name, const char* subKey, char* path) {
    FillWords(path, kRegistryPathSize, 0);
    if (!IsKeyName(name))
        return false;
    if (subKey)
        return JoinTextsBounded(path, kRegistryPathSize, {kClassesPrefix, name, "\\", subKey});
    return JoinTextsBounded(path, kRegistryPathSize, {kClassesPrefix, name});
}

bool OpenWithListPath(const char* extension, char* path) {
    FillWords(path, kRegistryPathSize, 0);
    return IsKeyName(extension) &&
           JoinTextsBounded(path, kRegistryPathSize,
                            {kFileExtsPrefix, extension, kOpenWithListSuffix});
}
