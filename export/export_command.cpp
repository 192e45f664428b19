// The export commands: which keys, which file, and the file written whole.
#include "export/export_command.h"

#include "export/reg_file.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "platform/whole_file.h"
#include "resources/texts.h"
#include "text/system_text.h"
#include "writer/undo.h"

#include <commdlg.h>

#include <string>
#include <vector>

namespace {

HKEY ModeHive(RunMode mode) {
    return mode == RunMode::Admin ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// The mode's keys of an extension that exist, each once, added to keys.
void AddKeysOf(HKEY hive, const char* extension, std::vector<ExportedKey>* keys) {
    for (KeyState key : ExtensionKeys(hive, extension, nullptr)) {
        ReadKeyState(&key);
        const std::wstring path = WideText(key.Path.c_str());
        bool known = false;
        for (const ExportedKey& exported : *keys)
            known = known || RegistryNameKey(exported.Path) == RegistryNameKey(path);
        if (key.Exists && !known)
            keys->push_back(
                {hive == HKEY_CURRENT_USER ? L"HKEY_CURRENT_USER" : L"HKEY_LOCAL_MACHINE", path,
                 key.Tree});
    }
}

// The file the user names into path (kTextSize bytes); false on Cancel.
bool AskForRegFile(HWND owner, char* path) {
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kExportFilter;
    dialog.lpstrFile = path;
    dialog.nMaxFile = kTextSize;
    dialog.lpstrTitle = kTextExportTitle;
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    dialog.lpstrDefExt = kExportDefaultExtension;
    return GetSaveFileNameA(&dialog) && path[0];
}

void WriteRegFile(HWND owner, const std::vector<ExportedKey>& keys) {
    char path[kTextSize] = {};
    if (!AskForRegFile(owner, path) || WriteWholeFile(path, ComposeRegFile(keys)))
        return;
    const std::string text = kTextExportFailed + std::string(path) + kTextExportNotWritten;
    MessageBoxA(owner, text.c_str(), kTextExportTitle, MB_OK | MB_ICONHAND);
}

} // namespace

void ExportExtension(HWND owner, const std::string& extension, RunMode mode) {
    std::vector<ExportedKey> keys;
    if (!extension.empty() && extension[0] == '.')
        AddKeysOf(ModeHive(mode), extension.c_str(), &keys);
    if (!keys.empty())
        return WriteRegFile(owner, keys);
    const std::string text = kTextExportNothingStart + extension + kTextExportNothingEnd;
    MessageBoxA(owner, text.c_str(), kTextExportTitle, MB_OK | MB_ICONINFORMATION);
}

void ExportAllExtensions(HWND owner, RunMode mode) {
    std::vector<std::string> extensions;
    RegKey classes;
    if (RegistryOpenKey(ModeHive(mode), kClassesKey, KEY_READ, classes.put()) == ERROR_SUCCESS)
        RegistryForEachSubKey(classes.get(), [&](const char* name) {
            if (name[0] == '.')
                extensions.push_back(name);
            return true;
        });
    std::vector<ExportedKey> keys;
    for (const std::string& extension : extensions)
        AddKeysOf(ModeHive(mode), extension.c_str(), &keys);
    WriteRegFile(owner, keys);
}
