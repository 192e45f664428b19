// Registry access, with HKEY_CLASSES_ROOT served as the merged view of the
// user's classes over the machine's.
#include "platform/registry.h"

#include "platform/handles.h"
#include "platform/registry_layout.h"
#include "text/system_text.h"

#include <shlwapi.h>

#include <algorithm>
#include <mutex>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// A key of one hive, opened by the system's own calls.
using HiveKey = Owned<HKEY, RegCloseKey>;

// One open key of the merged view: the same path opened in both hives, either
// of which may be missing.
struct MergedKey {
    HiveKey user;
    HiveKey machine;
    std::string path;                 // below Software\Classes, "" for the root
    std::vector<std::string> subKeys; // union, refreshed when index 0 is read
    std::vector<std::string> valueNames;
};

// The open keys of the view, each the owner of its halves; a handle of the
// view is the address of its record.
std::mutex g_mergedLock;
std::map<HKEY, std::unique_ptr<MergedKey>> g_mergedKeys;

MergedKey* AsMerged(HKEY key) {
    std::lock_guard<std::mutex> lock(g_mergedLock);
    auto found = g_mergedKeys.find(key);
    return found == g_mergedKeys.end() ? nullptr : found->second.get();
}

bool IsMergedParent(HKEY key) {
    return key == HKEY_CLASSES_ROOT || AsMerged(key) != nullptr;
}

bool LessNoCase(const std::string& a, const std::string& b) {
    return CompareRegistryNames(a.c_str(), b.c_str()) < 0;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    return CompareRegistryNames(a.c_str(), b.c_str()) == 0;
}

std::string JoinPath(const std::string& base, const char* path) {
    std::string tail = path ? path : "";
    while (!tail.empty() && tail.back() == '\\')
        tail.pop_back();
    if (base.empty())
        return tail;
    if (tail.empty())
        return base;
    return base + "\\" + tail;
}

std::string HivePath(const std::string& classesPath) {
    return classesPath.empty() ? kClassesKey : std::string(kClassesKey) + "\\" + classesPath;
}

// Path below Software\Classes of a merged parent plus path.
std::string MergedPath(HKEY parent, const char* path) {
    if (parent == HKEY_CLASSES_ROOT)
        return JoinPath("", path);
    return JoinPath(AsMerged(parent)->path, path);
}

HKEY RegisterMerged(std::unique_ptr<MergedKey> key) {
    const HKEY handle = reinterpret_cast<HKEY>(key.get());
    std::lock_guard<std::mutex> lock(g_mergedLock);
    g_mergedKeys[handle] = std::move(key);
    return handle;
}

std::vector<std::string> ListRealSubKeys(HKEY key) {
    std::vector<std::string> names;
    if (!key)
        return names;
    char name[kKeyNameSize];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        LONG status = RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_SUCCESS)
            names.emplace_back(name, length);
        else if (status != ERROR_MORE_DATA)
            break; // the end, or a key that cannot be enumerated
    }
    return names;
}

std::vector<std::string> ListRealValueNames(HKEY key) {
    std::vector<std::string> names;
    DWORD count = 0, longest = 0;
    if (!key || RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                                 &longest, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return names;
    std::vector<char> name(BufferFor(longest + 1));
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        LONG status =
            RegEnumValueA(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_SUCCESS)
            names.emplace_back(name.data(), length);
        else if (status != ERROR_MORE_DATA)
            break;
    }
    return names;
}

// Sorted union without regard to case, each name once.
std::vector<std::string> Union(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    std::stable_sort(a.begin(), a.end(), LessNoCase);
    a.erase(std::unique(a.begin(), a.end(), EqualNoCase), a.end());
    return a;
}

void RefreshSubKeys(MergedKey* key) {
    key->subKeys = Union(ListRealSubKeys(key->user.get()), ListRealSubKeys(key->machine.get()));
}

void RefreshValueNames(MergedKey* key) {
    key->valueNames =
        Union(ListRealValueNames(key->user.get()), ListRealValueNames(key->machine.get()));
}

// The hive key a value of the merged view is read from.
HKEY ValueSource(const MergedKey* key, const char* name) {
    if (key->user && RegQueryValueExA(key->user.get(), name, nullptr, nullptr, nullptr, nullptr) !=
                         ERROR_FILE_NOT_FOUND)
        return key->user.get();
    return key->machine ? key->machine.get() : key->user.get();
}

LONG CopyName(const std::string& name, char* buffer, DWORD* length) {
    if (!buffer || !length)
        return ERROR_INVALID_PARAMETER;
    if (name.size() + 1 > *length) {
        if (*length)
            buffer[0] = '\0';
        return ERROR_MORE_DATA;
    }
    memcpy(buffer, name.c_str(), name.size() + 1);
    *length = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

// Paths longer than this are opened a piece at a time. Some systems (Wine)
// convert the path of an ANSI registry call in a buffer of MAX_PATH
// characters and refuse a longer one, though keys nest deeper than that.
constexpr size_t kPathPiece = 200;

// Opens (or creates) root\path as RegOpenKeyExA (RegCreateKeyExA) does,
// whatever the length of path.
LONG OpenPath(HKEY root, const std::string& path, REGSAM access, HKEY* key, bool create) {
    *key = nullptr;
    size_t cut = std::string::npos;
    if (path.size() > kPathPiece) {
        cut = path.rfind('\\', kPathPiece);
        if (cut == std::string::npos || cut == 0)
            cut = path.find('\\', 1);
    }
    if (cut == std::string::npos) {
        if (create)
            return RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, access, nullptr, key,
                                   nullptr);
        return RegOpenKeyExA(root, path.empty() ? nullptr : path.c_str(), 0, access, key);
    }
    HKEY opened = nullptr;
    LONG status = OpenPath(root, path.substr(0, cut),
                           create ? KEY_READ | KEY_CREATE_SUB_KEY : KEY_READ, &opened, create);
    if (status != ERROR_SUCCESS)
        return status;
    HiveKey parent(opened);
    status = OpenPath(parent.get(), path.substr(cut + 1), access, key, create);
    if (status != ERROR_SUCCESS)
        *key = nullptr;
    return status;
}

// Deletes root\path with everything below it, whatever the length of path:
// its parent is opened by the program's text of the path, the key itself
// goes by the wide calls, so that nothing below it is missed for a name the
// code page cannot spell.
LONG DeletePath(HKEY root, const std::string& path) {
    const size_t cut = path.rfind('\\');
    HKEY parent = root;
    HiveKey opened;
    if (cut != std::string::npos) {
        HKEY key = nullptr;
        const LONG status = OpenPath(root, path.substr(0, cut), KEY_READ | KEY_WRITE, &key, false);
        if (status != ERROR_SUCCESS)
            return status;
        opened.reset(key);
        parent = key;
    }
    return DeleteKeyTree(parent, WideText(path.c_str() + (cut == std::string::npos ? 0 : cut + 1)));
}

// The last piece of a path, as the key's own name.
std::wstring LastPiece(const char* path) {
    const char* last = path ? strrchr(path, '\\') : nullptr;
    return WideText(last ? last + 1 : path ? path : "");
}

// One half of the merged view's tree at hivePath, laid over tree.
void OverlayHalf(HKEY hive, const std::string& hivePath, RegistryTree* tree, bool* found) {
    HKEY key = nullptr;
    if (OpenPath(hive, hivePath, KEY_READ, &key, false) != ERROR_SUCCESS)
        return;
    HiveKey half(key);
    RegistryTree read;
    if (ReadKeyTree(half.get(), &read) != ERROR_SUCCESS)
        return;
    OverlayTree(tree, read);
    *found = true;
}

// One half of a key of the merged view, with read access so that the union
// of its names is listed also where the caller asked only to query values.
// A half that refuses the access asked for is opened for reading alone: its
// values still count, and writes never go to it anyway when it is the
// machine's. On failure *key is null.
LONG OpenHalf(HKEY hive, const std::string& path, REGSAM access, HiveKey* half) {
    HKEY key = nullptr;
    LONG status = OpenPath(hive, path, access | KEY_READ, &key, false);
    if (status == ERROR_ACCESS_DENIED && (access | KEY_READ) != KEY_READ)
        status = OpenPath(hive, path, KEY_READ, &key, false);
    half->reset(status == ERROR_SUCCESS ? key : nullptr);
    return status;
}

// A key of the merged view for parent\path: opened, or created in the user's
// classes (the view creates nothing in the machine's).
LONG OpenMerged(HKEY parent, const char* path, REGSAM access, HKEY* key) {
    auto merged = std::make_unique<MergedKey>();
    merged->path = MergedPath(parent, path);
    const std::string hivePath = HivePath(merged->path);
    OpenHalf(HKEY_CURRENT_USER, hivePath, access, &merged->user);
    const LONG status = OpenHalf(HKEY_LOCAL_MACHINE, hivePath, KEY_READ, &merged->machine);
    if (!merged->user && !merged->machine)
        return status;
    *key = RegisterMerged(std::move(merged));
    return ERROR_SUCCESS;
}

// Whether path names a key below its parent: not empty, and no empty piece
// (a leading, trailing or doubled backslash), which the system would read as
// the parent itself.
bool NamesKeyBelow(const char* path) {
    if (!path || !*path || path[0] == '\\')
        return false;
    for (const char* c = path; *c; ++c)
        if (*c == '\\' && (c[1] == '\\' || c[1] == '\0'))
            return false;
    return true;
}

} // namespace

LONG RegistryOpenKey(HKEY parent, const char* path, REGSAM access, HKEY* key) {
    if (!key)
        return ERROR_INVALID_PARAMETER;
    *key = nullptr;
    if (!IsMergedParent(parent))
        return OpenPath(parent, path ? path : "", access, key, false);
    return OpenMerged(parent, path, access, key);
}

LONG RegistryCreateKey(HKEY parent, const char* path, REGSAM access, HKEY* key) {
    if (!key)
        return ERROR_INVALID_PARAMETER;
    *key = nullptr;
    if (IsMergedParent(parent))
        return ERROR_ACCESS_DENIED;
    return OpenPath(parent, path ? path : "", access, key, true);
}

void RegistryCloseKey(HKEY key) {
    if (!key)
        return;
    std::unique_ptr<MergedKey> merged;
    {
        std::lock_guard<std::mutex> lock(g_mergedLock);
        auto found = g_mergedKeys.find(key);
        if (found != g_mergedKeys.end()) {
            merged = std::move(found->second);
            g_mergedKeys.erase(found);
        }
    }
    if (!merged)
        HiveKey closing(key);
}

LONG RegistryQueryValue(HKEY key, const char* name, DWORD* type, void* data, DWORD* size) {
    HKEY source = key;
    if (key == HKEY_CLASSES_ROOT) {
        RegKey root;
        LONG status = RegistryOpenKey(HKEY_CLASSES_ROOT, nullptr, KEY_QUERY_VALUE, root.put());
        if (status != ERROR_SUCCESS)
            return status;
        return RegistryQueryValue(root.get(), name, type, data, size);
    }
    MergedKey* merged = AsMerged(key);
    if (merged && merged->user && merged->machine) {
        // One query settles it where the user's key holds the value; only a
        // value missing there is asked of the machine's key.
        const DWORD typeIn = type ? *type : 0;
        const DWORD sizeIn = size ? *size : 0;
        LONG status = RegQueryValueExA(merged->user.get(), name, nullptr, type,
                                       static_cast<BYTE*>(data), size);
        if (status != ERROR_FILE_NOT_FOUND)
            return status;
        if (type)
            *type = typeIn;
        if (size)
            *size = sizeIn;
        source = merged->machine.get();
    } else if (merged) {
        source = merged->user ? merged->user.get() : merged->machine.get();
    }
    return RegQueryValueExA(source, name, nullptr, type, static_cast<BYTE*>(data), size);
}

LONG RegistryReadText(HKEY key, const char* name, char* buffer, DWORD size) {
    if (!buffer || size == 0)
        return ERROR_INVALID_PARAMETER;
    memset(buffer, 0, size);
    DWORD type = REG_NONE;
    DWORD length = size;
    LONG status = RegistryQueryValue(key, name, &type, buffer, &length);
    if (status == ERROR_SUCCESS && type != REG_SZ && type != REG_EXPAND_SZ)
        status = ERROR_INVALID_DATATYPE;
    // Data that fills the whole buffer without a terminator would be read past
    // its end by every caller: it counts as too long, as does a text of more
    // characters than the buffer is made for.
    if (status == ERROR_SUCCESS && length == size && buffer[size - 1] != '\0')
        status = ERROR_MORE_DATA;
    if (status == ERROR_SUCCESS && !FitsBuffer(buffer, size))
        status = ERROR_MORE_DATA;
    if (status != ERROR_SUCCESS)
        memset(buffer, 0, size);
    return status;
}

LONG RegistrySetValue(HKEY key, const char* name, DWORD type, const void* data, DWORD size) {
    if (IsMergedParent(key))
        return ERROR_ACCESS_DENIED;
    return RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
}

LONG RegistryDeleteValue(HKEY key, const char* name) {
    if (IsMergedParent(key))
        return ERROR_ACCESS_DENIED;
    return RegDeleteValueA(key, name);
}

LONG RegistryEnumKey(HKEY key, DWORD index, char* name, DWORD* length) {
    if (key == HKEY_CLASSES_ROOT)
        return ERROR_INVALID_HANDLE; // open the root with RegistryOpenKey first
    MergedKey* merged = AsMerged(key);
    if (!merged)
        return RegEnumKeyExA(key, index, name, length, nullptr, nullptr, nullptr, nullptr);
    if (index == 0 || merged->subKeys.empty())
        RefreshSubKeys(merged);
    if (index >= merged->subKeys.size())
        return ERROR_NO_MORE_ITEMS;
    return CopyName(merged->subKeys[index], name, length);
}

LONG RegistryEnumValue(HKEY key, DWORD index, char* name, DWORD* length, DWORD* type, void* data,
                       DWORD* dataSize) {
    MergedKey* merged = AsMerged(key);
    if (!merged)
        return RegEnumValueA(key, index, name, length, nullptr, type, static_cast<BYTE*>(data),
                             dataSize);
    if (index == 0 || merged->valueNames.empty())
        RefreshValueNames(merged);
    if (index >= merged->valueNames.size())
        return ERROR_NO_MORE_ITEMS;
    const std::string& valueName = merged->valueNames[index];
    LONG status = CopyName(valueName, name, length);
    if (status != ERROR_SUCCESS)
        return status;
    if (type || data || dataSize) {
        HKEY source = ValueSource(merged, valueName.c_str());
        status = RegQueryValueExA(source, valueName.c_str(), nullptr, type,
                                  static_cast<BYTE*>(data), dataSize);
    }
    return status;
}

void RegistryForEachSubKey(HKEY key, const std::function<bool(const char* name)>& visit) {
    char name[kKeyNameSize];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        const LONG status = RegistryEnumKey(key, index, name, &length);
        if (status == ERROR_MORE_DATA)
            continue;
        if (status != ERROR_SUCCESS || !visit(name))
            return;
    }
}

LONG RegistryQueryInfo(HKEY key, DWORD* subKeys, DWORD* values) {
    MergedKey* merged = AsMerged(key);
    if (!merged)
        return RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, subKeys, nullptr, nullptr, values,
                                nullptr, nullptr, nullptr, nullptr);
    if (subKeys) {
        RefreshSubKeys(merged);
        *subKeys = static_cast<DWORD>(merged->subKeys.size());
    }
    if (values) {
        RefreshValueNames(merged);
        *values = static_cast<DWORD>(merged->valueNames.size());
    }
    return ERROR_SUCCESS;
}

LONG RegistryReadTree(HKEY hive, const char* path, RegistryTree* tree) {
    *tree = RegistryTree();
    tree->Name = LastPiece(path);
    if (!IsMergedParent(hive)) {
        HKEY key = nullptr;
        const LONG status = OpenPath(hive, path ? path : "", KEY_READ, &key, false);
        return status == ERROR_SUCCESS ? ReadKeyTree(HiveKey(key).get(), tree) : status;
    }
    const std::string hivePath = HivePath(MergedPath(hive, path));
    bool found = false;
    OverlayHalf(HKEY_LOCAL_MACHINE, hivePath, tree, &found);
    OverlayHalf(HKEY_CURRENT_USER, hivePath, tree, &found);
    return found ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LONG RegistryDeleteTree(HKEY hive, const char* path) {
    if (!NamesKeyBelow(path))
        return ERROR_INVALID_PARAMETER;
    if (IsMergedParent(hive))
        return ERROR_ACCESS_DENIED;
    return DeletePath(hive, path);
}

int RegistryKeyExists(HKEY hive, const char* path) {
    if (!IsMergedParent(hive)) {
        RegKey key;
        return RegistryOpenKey(hive, path, KEY_QUERY_VALUE, key.put()) == ERROR_SUCCESS ? 1 : 0;
    }
    // A key of the merged view exists when either half opens as
    // RegistryOpenKey opens it; the second is not tried when the first does.
    const std::string hivePath = HivePath(MergedPath(hive, path));
    for (HKEY half : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        HKEY key = nullptr;
        if (OpenPath(half, hivePath, KEY_READ, &key, false) == ERROR_SUCCESS) {
            HiveKey opened(key);
            return 1;
        }
    }
    return 0;
}
