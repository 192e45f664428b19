// Recording the keys of each change, and putting them back.
#include "writer/undo.h"

#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "text/system_text.h"

#include <utility>

namespace {

std::vector<UndoStep> History;
UndoStep Pending;

KeyState KeyOf(HKEY hive, const std::string& path) {
    KeyState key;
    key.Hive = hive;
    key.Path = path;
    return key;
}

// The class an extension key of root names, into fileClass; false for none.
bool ClassOf(HKEY root, const std::string& extensionPath, char* fileClass) {
    RegKey extension;
    return RegistryOpenKey(root, extensionPath.c_str(), KEY_QUERY_VALUE, extension.put()) ==
               ERROR_SUCCESS &&
           LookupFileClass(extension.get(), fileClass) && IsKeyName(fileClass);
}

void AddOnce(std::vector<KeyState>* keys, HKEY hive, const std::string& path) {
    for (const KeyState& key : *keys)
        if (key.Hive == hive && CompareNoCase(key.Path.c_str(), path.c_str()) == 0)
            return;
    keys->push_back(KeyOf(hive, path));
}

} // namespace

std::vector<KeyState> ExtensionKeys(HKEY hive, const char* extension, const char* newClass) {
    std::vector<KeyState> keys;
    const std::string classes = std::string(kClassesKey) + "\\";
    if (!IsKeyName(extension))
        return keys;
    AddOnce(&keys, hive, classes + extension);
    char fileClass[kTextSize];
    if (ClassOf(hive, classes + extension, fileClass))
        AddOnce(&keys, hive, classes + fileClass);
    if (hive == HKEY_CURRENT_USER) {
        if (ClassOf(HKEY_CLASSES_ROOT, extension, fileClass))
            AddOnce(&keys, hive, classes + fileClass);
        AddOnce(&keys, hive, FileExtsKey(extension).Path);
    }
    if (newClass && IsKeyName(newClass))
        AddOnce(&keys, hive, classes + newClass);
    return keys;
}

void ReadKeyState(KeyState* key) {
    key->Exists = RegistryReadTree(key->Hive, key->Path.c_str(), &key->Tree) == ERROR_SUCCESS;
    if (!key->Exists)
        key->Tree = RegistryTree();
}

KeyState FileExtsKey(const char* extension) {
    return KeyOf(HKEY_CURRENT_USER, std::string(kFileExtsKey) + "\\" + extension);
}

KeyState ApplicationKey(HKEY hive, const char* application) {
    return KeyOf(hive, std::string(kApplicationsPath) + "\\" + application);
}

void BeginChange(const std::string& title, const std::string& extension,
                 std::vector<KeyState> keys) {
    Pending = UndoStep();
    Pending.Title = title;
    Pending.Extension = extension;
    for (KeyState& key : keys)
        ReadKeyState(&key);
    Pending.Before = std::move(keys);
}

void EndChange() {
    if (Pending.Before.empty())
        return;
    Pending.After = Pending.Before;
    for (KeyState& key : Pending.After)
        ReadKeyState(&key);
    History.push_back(std::move(Pending));
    Pending = UndoStep();
}

bool CanUndo() {
    return !History.empty();
}

const UndoStep& LastChange() {
    return History.back();
}

std::vector<std::string> ChangedSinceLastChange() {
    std::vector<std::string> changed;
    for (const KeyState& left : History.back().After) {
        KeyState now = left;
        ReadKeyState(&now);
        if (now.Exists != left.Exists || !SameTree(now.Tree, left.Tree))
            changed.push_back(left.Path);
    }
    return changed;
}

void UndoLastChange() {
    if (History.empty())
        return;
    for (const KeyState& key : History.back().Before) {
        RegistryDeleteTree(key.Hive, key.Path.c_str());
        RegKey restored;
        if (key.Exists && RegistryCreateKey(key.Hive, key.Path.c_str(), KEY_READ | KEY_WRITE,
                                            restored.put()) == ERROR_SUCCESS)
            WriteKeyTree(restored.get(), key.Tree);
    }
    History.pop_back();
}
