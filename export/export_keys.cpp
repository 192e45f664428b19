// Gathering the keys of an export, each read once.
#include "export/export_keys.h"

#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "text/system_text.h"
#include "writer/undo.h"

#include <unordered_set>

std::vector<std::string> ExportableExtensions(HKEY hive) {
    std::vector<std::string> extensions;
    RegKey classes;
    if (RegistryOpenKey(hive, kClassesKey, KEY_ENUMERATE_SUB_KEYS, classes.put()) != ERROR_SUCCESS)
        return extensions;
    // The extensions, then the link types: the classes that hold "URL
    // Protocol".
    std::vector<std::string> links;
    RegistryForEachSubKey(classes.get(), [&](const char* name) {
        if (name[0] == '.')
            extensions.emplace_back(name);
        else if (HasLinkClass(hive, name))
            links.emplace_back(name);
        return true;
    });
    extensions.insert(extensions.end(), links.begin(), links.end());
    return extensions;
}

std::vector<ExportedKey> GatherExportKeys(HKEY hive, const std::vector<std::string>& extensions,
                                          const ExportProgress& progress) {
    const std::wstring root =
        hive == HKEY_CURRENT_USER ? L"HKEY_CURRENT_USER" : L"HKEY_LOCAL_MACHINE";
    std::vector<ExportedKey> keys;
    // Every key named so far, found or not: a class that many extensions
    // name is read for the first of them only.
    std::unordered_set<std::wstring> named;
    for (size_t done = 0; done < extensions.size(); ++done) {
        if (progress && !progress(done, extensions.size(), extensions[done]))
            return {};
        for (KeyState key : ExtensionKeys(hive, extensions[done].c_str(), nullptr)) {
            std::wstring path = WideText(key.Path.c_str());
            if (!named.insert(RegistryNameKey(path)).second)
                continue;
            ReadKeyState(&key);
            if (key.Exists)
                keys.push_back({root, std::move(path), std::move(key.Tree)});
        }
    }
    return keys;
}
