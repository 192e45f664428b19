// Checked registry writes within the keys a change names.
#include "platform/registry_write.h"

#include "platform/handles.h"
#include "platform/registry.h"
#include "text/system_text.h"

#include <algorithm>

namespace {

using WideKey = Owned<HKEY, RegCloseKey>;

bool SameName(const std::wstring& a, const std::wstring& b) {
    return RegistryNameKey(a) == RegistryNameKey(b);
}

template <typename Named> bool Holds(const std::vector<Named>& items, const std::wstring& name) {
    return std::any_of(items.begin(), items.end(),
                       [&](const Named& item) { return SameName(item.Name, name); });
}

// A key, a value or a list end that is not there: nothing to remove.
bool Gone(LONG status) {
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

} // namespace

KeyState KeyOf(HKEY hive, const std::string& path) {
    KeyState key;
    key.Hive = hive;
    key.Path = path;
    return key;
}

LONG ReadKeyState(KeyState* key) {
    const LONG status = RegistryReadTree(key->Hive, key->Path.c_str(), &key->Tree);
    key->Exists = status == ERROR_SUCCESS;
    if (!key->Exists)
        key->Tree = RegistryTree();
    return status;
}

bool StillAsLeft(const KeyState& state) {
    KeyState now = state;
    ReadKeyState(&now);
    return now.Exists == state.Exists && SameTree(now.Tree, state.Tree);
}

std::string KeyDisplayName(HKEY hive, const std::string& path) {
    const char* root = hive == HKEY_CURRENT_USER    ? "HKEY_CURRENT_USER"
                       : hive == HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE"
                                                    : "HKEY_CLASSES_ROOT";
    return path.empty() ? root : std::string(root) + "\\" + path;
}

RegistryWrites::RegistryWrites(std::vector<KeyState> scope) : scope_(std::move(scope)) {}

bool RegistryWrites::InScope(HKEY hive, const std::string& path) const {
    const std::wstring folded = RegistryNameKey(path.c_str());
    for (const KeyState& key : scope_) {
        const std::wstring root = RegistryNameKey(key.Path.c_str());
        if (key.Hive == hive && folded.compare(0, root.size(), root) == 0 &&
            (folded.size() == root.size() || folded[root.size()] == L'\\'))
            return true;
    }
    return false;
}

bool RegistryWrites::Note(HKEY hive, const std::string& path, LONG status) {
    if (status != ERROR_SUCCESS && ok())
        failure_ = {hive, path, status};
    return status == ERROR_SUCCESS;
}

bool RegistryWrites::CreateKey(HKEY hive, const std::string& path) {
    if (!ok())
        return false;
    if (!InScope(hive, path))
        return Note(hive, path, ERROR_ACCESS_DENIED);
    RegKey key;
    return Note(hive, path, RegistryCreateKey(hive, path.c_str(), KEY_WRITE, key.put()));
}

bool RegistryWrites::SetValue(HKEY hive, const std::string& path, const char* name, DWORD type,
                              const void* data, DWORD size) {
    if (!ok())
        return false;
    if (!InScope(hive, path))
        return Note(hive, path, ERROR_ACCESS_DENIED);
    RegKey key;
    return Note(hive, path, RegistryCreateKey(hive, path.c_str(), KEY_WRITE, key.put())) &&
           Note(hive, path, RegistrySetValue(key.get(), name, type, data, size));
}

bool RegistryWrites::SetText(HKEY hive, const std::string& path, const char* name,
                             const std::string& text, DWORD type) {
    return SetValue(hive, path, name, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

bool RegistryWrites::DeleteValue(HKEY hive, const std::string& path, const char* name) {
    if (!ok())
        return false;
    if (!InScope(hive, path))
        return Note(hive, path, ERROR_ACCESS_DENIED);
    RegKey key;
    const LONG opened = RegistryOpenKey(hive, path.c_str(), KEY_SET_VALUE, key.put());
    if (opened == ERROR_FILE_NOT_FOUND)
        return true;
    const LONG status = opened == ERROR_SUCCESS ? RegistryDeleteValue(key.get(), name) : opened;
    return Note(hive, path, Gone(status) ? ERROR_SUCCESS : status);
}

bool RegistryWrites::DeleteTree(HKEY hive, const std::string& path) {
    if (!ok())
        return false;
    if (!InScope(hive, path))
        return Note(hive, path, ERROR_ACCESS_DENIED);
    const LONG status = RegistryDeleteTree(hive, path.c_str());
    return Note(hive, path, Gone(status) ? ERROR_SUCCESS : status);
}

bool RegistryWrites::CopyTree(HKEY sourceHive, const std::string& sourcePath, HKEY hive,
                              const std::string& path) {
    if (!ok())
        return false;
    RegistryTree tree;
    const LONG read = RegistryReadTree(sourceHive, sourcePath.c_str(), &tree);
    if (read == ERROR_FILE_NOT_FOUND)
        return CreateKey(hive, path);
    if (!Note(sourceHive, sourcePath, read) || !CreateKey(hive, path))
        return false;
    RegKey key;
    return Note(hive, path, RegistryOpenKey(hive, path.c_str(), KEY_READ | KEY_WRITE, key.put())) &&
           PutTree(key.get(), hive, path, tree, false);
}

bool RegistryWrites::PutKey(const KeyState& state) {
    if (!state.Exists)
        return DeleteTree(state.Hive, state.Path);
    if (!CreateKey(state.Hive, state.Path))
        return false;
    RegKey key;
    return Note(state.Hive, state.Path,
                RegistryOpenKey(state.Hive, state.Path.c_str(), KEY_READ | KEY_WRITE, key.put())) &&
           PutTree(key.get(), state.Hive, state.Path, state.Tree, true);
}

bool RegistryWrites::PutTree(HKEY key, HKEY hive, const std::string& path, const RegistryTree& tree,
                             bool exact) {
    if (exact) {
        RegistryTree now;
        if (!Note(hive, path, ReadKeyTree(key, &now)))
            return false;
        for (const RegistryValue& value : now.Values)
            if (!Holds(tree.Values, value.Name) &&
                !Note(hive, path, RegDeleteValueW(key, value.Name.c_str())))
                return false;
        for (const RegistryTree& below : now.Keys)
            if (!Holds(tree.Keys, below.Name) &&
                !Note(hive, path + "\\" + ProgramText(below.Name.data(), below.Name.size()),
                      DeleteKeyTree(key, below.Name)))
                return false;
    }
    for (const RegistryValue& value : tree.Values)
        if (!Note(hive, path,
                  RegSetValueExW(key, value.Name.c_str(), 0, value.Type, value.Data.data(),
                                 static_cast<DWORD>(value.Data.size()))))
            return false;
    for (const RegistryTree& below : tree.Keys) {
        const std::string belowPath =
            path + "\\" + ProgramText(below.Name.data(), below.Name.size());
        HKEY created = nullptr;
        if (!Note(hive, belowPath,
                  RegCreateKeyExW(key, below.Name.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE,
                                  nullptr, &created, nullptr)))
            return false;
        if (!PutTree(WideKey(created).get(), hive, belowPath, below, exact))
            return false;
    }
    return true;
}

RegistryFailure PutKeysBack(const std::vector<KeyState>& states) {
    RegistryFailure first;
    for (const KeyState& state : states) {
        RegistryWrites writes({state});
        if (!writes.PutKey(state) && first.Status == ERROR_SUCCESS)
            first = writes.failure();
    }
    return first;
}
