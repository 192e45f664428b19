// Changes made whole or not at all, recorded, and put back.
#include "writer/undo.h"

#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "resources/texts.h"
#include "text/system_text.h"

#include <algorithm>
#include <utility>

namespace {

std::vector<UndoStep> History;

// The class the key of extension at extensionPath of root names (a link
// type's is itself), into fileClass; false for none.
bool ClassOf(HKEY root, const std::string& extensionPath, const char* extension, char* fileClass) {
    RegKey key;
    return RegistryOpenKey(root, extensionPath.c_str(), KEY_QUERY_VALUE, key.put()) ==
               ERROR_SUCCESS &&
           LookupFileClass(extension, key.get(), fileClass) && IsKeyName(fileClass);
}

void AddOnce(std::vector<KeyState>* keys, HKEY hive, const std::string& path) {
    for (const KeyState& key : *keys)
        if (key.Hive == hive && CompareNoCase(key.Path.c_str(), path.c_str()) == 0)
            return;
    keys->push_back(KeyOf(hive, path));
}

std::string ReasonFor(const RegistryFailure& failure) {
    return KeyDisplayName(failure.Hive, failure.Path) + kTextRefusedReason +
           SystemMessage(static_cast<DWORD>(failure.Status));
}

// Each key as it is now; false, and the key in outcome, where one cannot be
// read whole: it could not be put back after a refusal.
bool ReadKeys(std::vector<KeyState>* keys, ChangeOutcome* outcome) {
    for (KeyState& key : *keys) {
        LONG status = ReadKeyState(&key);
        if (status == ERROR_SUCCESS && !key.Tree.Whole)
            status = ERROR_ACCESS_DENIED;
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
            outcome->Refused = {key.Hive, key.Path, status};
            return false;
        }
    }
    return true;
}

// Writes within keys (as they are now) through checked writes, and where the
// system refuses one, puts back what the attempt left.
ChangeOutcome Write(const std::vector<KeyState>& keys,
                    const std::function<void(RegistryWrites&)>& write) {
    ChangeOutcome outcome;
    RegistryWrites writes(keys);
    write(writes);
    if (writes.ok())
        return outcome;
    outcome.Refused = writes.failure();
    outcome.NotPutBack = PutKeysBack(keys);
    return outcome;
}

} // namespace

std::string DescribeRefusal(const ChangeOutcome& outcome) {
    std::string text = kTextRefusedStart + ReasonFor(outcome.Refused);
    if (outcome.NotPutBack.Status == ERROR_SUCCESS)
        return text + kTextRefusedNothingChanged;
    return text + kTextRefusedNotPutBack + ReasonFor(outcome.NotPutBack);
}

std::vector<KeyState> ExtensionKeys(HKEY hive, const char* extension, const char* newClass) {
    std::vector<KeyState> keys;
    const std::string classes = std::string(kClassesKey) + "\\";
    if (!IsKeyName(extension))
        return keys;
    AddOnce(&keys, hive, classes + extension);
    char fileClass[kTextSize];
    if (ClassOf(hive, classes + extension, extension, fileClass))
        AddOnce(&keys, hive, classes + fileClass);
    if (hive == HKEY_CURRENT_USER) {
        if (ClassOf(HKEY_CLASSES_ROOT, extension, extension, fileClass))
            AddOnce(&keys, hive, classes + fileClass);
        AddOnce(&keys, hive, UserEntryKey(extension).Path);
    }
    if (newClass && IsKeyName(newClass))
        AddOnce(&keys, hive, classes + newClass);
    return keys;
}

KeyState UserEntryKey(const char* name) {
    char path[kRegistryPathSize];
    return KeyOf(HKEY_CURRENT_USER, UserEntryPath(name, path) ? path : "");
}

KeyState ApplicationKey(HKEY hive, const char* application) {
    return KeyOf(hive, std::string(kApplicationsPath) + "\\" + application);
}

ChangeOutcome MakeChange(const std::string& title, const std::string& extension,
                         std::vector<KeyState> keys,
                         const std::function<void(RegistryWrites&)>& write) {
    UndoStep step;
    step.Title = title;
    step.Extension = extension;
    ChangeOutcome outcome;
    if (!ReadKeys(&keys, &outcome))
        return outcome;
    outcome = Write(keys, write);
    if (!outcome.Done())
        return outcome;
    step.Before = std::move(keys);
    step.After = step.Before;
    for (KeyState& key : step.After)
        ReadKeyState(&key);
    History.push_back(std::move(step));
    return outcome;
}

std::vector<std::string> ExtensionsOf(const UndoStep& step) {
    const std::string classes = std::string(kClassesKey) + "\\.";
    std::vector<std::string> extensions;
    for (const KeyState& key : step.Before) {
        const std::string name = key.Path.substr(std::min(key.Path.size(), classes.size() - 1));
        if (CompareNoCase(key.Path.substr(0, classes.size()).c_str(), classes.c_str()) == 0 &&
            name.find('\\') == std::string::npos &&
            std::find(extensions.begin(), extensions.end(), name) == extensions.end())
            extensions.push_back(name);
    }
    return extensions;
}

bool CanUndo() {
    return !History.empty();
}

const UndoStep& LastChange() {
    return History.back();
}

std::vector<std::string> ChangedSinceLastChange() {
    std::vector<std::string> changed;
    for (const KeyState& left : History.back().After)
        if (!StillAsLeft(left))
            changed.push_back(left.Path);
    return changed;
}

ChangeOutcome UndoLastChange() {
    if (History.empty())
        return ChangeOutcome();
    std::vector<KeyState> now = History.back().Before;
    ChangeOutcome outcome;
    if (!ReadKeys(&now, &outcome))
        return outcome;
    const std::vector<KeyState>& before = History.back().Before;
    outcome = Write(now, [&](RegistryWrites& writes) {
        for (const KeyState& key : before)
            writes.PutKey(key);
    });
    if (outcome.Done())
        History.pop_back();
    return outcome;
}
