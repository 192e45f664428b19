// Whole keys through the system's wide registry calls.
#include "platform/registry_tree.h"

#include "platform/handles.h"
#include "text/system_text.h"

#include <algorithm>

namespace {

using WideKey = Owned<HKEY, RegCloseKey>;

// The longest key name the registry allows, and its terminator.
constexpr DWORD kKeyNameUnits = 256;

bool SameName(const std::wstring& a, const std::wstring& b) {
    return RegistryNameKey(a) == RegistryNameKey(b);
}

// The sizes a key's reading needs, asked once: each question is a round
// trip to the registry.
struct KeySizes {
    DWORD subKeys = 0, values = 0, nameUnits = 0, dataSize = 0;
};

LONG AskSizes(HKEY key, KeySizes* sizes) {
    return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &sizes->subKeys, nullptr, nullptr,
                            &sizes->values, &sizes->nameUnits, &sizes->dataSize, nullptr, nullptr);
}

LONG ReadValues(HKEY key, KeySizes sizes, std::vector<RegistryValue>* values) {
    for (DWORD index = 0; index < sizes.values;) {
        std::vector<wchar_t> name(sizes.nameUnits + 1);
        RegistryValue value;
        value.Data.resize(sizes.dataSize);
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD size = sizes.dataSize;
        LONG status = RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &value.Type,
                                    value.Data.data(), &size);
        if (status == ERROR_NO_MORE_ITEMS)
            return ERROR_SUCCESS;
        if (status == ERROR_MORE_DATA) {
            // The value grew meanwhile: the sizes are asked again.
            status = AskSizes(key, &sizes);
            if (status != ERROR_SUCCESS)
                return status;
            continue;
        }
        if (status != ERROR_SUCCESS)
            return status;
        value.Name.assign(name.data(), nameLength);
        value.Data.resize(size);
        values->push_back(std::move(value));
        ++index;
    }
    return ERROR_SUCCESS;
}

} // namespace

LONG ReadKeyTree(HKEY key, RegistryTree* tree) {
    tree->Values.clear();
    tree->Keys.clear();
    tree->Whole = true;
    KeySizes sizes;
    LONG status = AskSizes(key, &sizes);
    if (status == ERROR_SUCCESS)
        status = ReadValues(key, sizes, &tree->Values);
    if (status != ERROR_SUCCESS)
        return status;
    for (DWORD index = 0; index < sizes.subKeys; ++index) {
        wchar_t name[kKeyNameUnits] = {};
        DWORD length = kKeyNameUnits;
        status = RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status != ERROR_SUCCESS)
            return status;
        HKEY opened = nullptr;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, &opened) != ERROR_SUCCESS) {
            tree->Whole = false;
            continue;
        }
        WideKey child(opened);
        RegistryTree below;
        below.Name.assign(name, length);
        if (ReadKeyTree(child.get(), &below) == ERROR_SUCCESS) {
            tree->Whole = tree->Whole && below.Whole;
            tree->Keys.push_back(std::move(below));
        } else {
            tree->Whole = false;
        }
    }
    return ERROR_SUCCESS;
}

void OverlayTree(RegistryTree* under, const RegistryTree& over) {
    for (const RegistryValue& value : over.Values) {
        auto same =
            std::find_if(under->Values.begin(), under->Values.end(),
                         [&](const RegistryValue& v) { return SameName(v.Name, value.Name); });
        if (same == under->Values.end())
            under->Values.push_back(value);
        else
            *same = value;
    }
    for (const RegistryTree& key : over.Keys) {
        auto same = std::find_if(under->Keys.begin(), under->Keys.end(),
                                 [&](const RegistryTree& k) { return SameName(k.Name, key.Name); });
        if (same == under->Keys.end()) {
            under->Keys.push_back(key);
        } else {
            OverlayTree(&*same, key);
            same->Name = key.Name;
        }
    }
    std::stable_sort(under->Keys.begin(), under->Keys.end(),
                     [](const RegistryTree& a, const RegistryTree& b) {
                         return RegistryNameKey(a.Name) < RegistryNameKey(b.Name);
                     });
}

bool SameTree(const RegistryTree& a, const RegistryTree& b) {
    auto sameValue = [](const RegistryValue& x, const RegistryValue& y) {
        return x.Name == y.Name && x.Type == y.Type && x.Data == y.Data;
    };
    return a.Name == b.Name &&
           std::equal(a.Values.begin(), a.Values.end(), b.Values.begin(), b.Values.end(),
                      sameValue) &&
           std::equal(a.Keys.begin(), a.Keys.end(), b.Keys.begin(), b.Keys.end(), SameTree);
}

LONG DeleteKeyTree(HKEY key, const std::wstring& name) {
    if (name.empty())
        return ERROR_INVALID_PARAMETER;
    return RegDeleteTreeW(key, name.c_str());
}
