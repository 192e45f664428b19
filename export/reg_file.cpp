// Registry files in regedit's format.
#include "export/reg_file.h"

#include <windows.h>

#include <cstdio>

namespace {

constexpr wchar_t kHeader[] = L"Windows Registry Editor Version 5.00\r\n";

std::wstring Escaped(const std::wstring& text) {
    std::wstring escaped;
    for (wchar_t unit : text) {
        if (unit == L'\\' || unit == L'"')
            escaped += L'\\';
        escaped += unit;
    }
    return escaped;
}

// A REG_SZ that reads back as the same bytes when written as "text".
bool IsPlainText(const RegistryValue& value) {
    const size_t units = value.Data.size() / sizeof(wchar_t);
    if (value.Type != REG_SZ || value.Data.size() % sizeof(wchar_t) || units == 0)
        return false;
    const auto* text = reinterpret_cast<const wchar_t*>(value.Data.data());
    if (text[units - 1] != 0)
        return false;
    for (size_t at = 0; at + 1 < units; ++at) {
        const wchar_t unit = text[at];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF, low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (unit < 0x20 || low)
            return false;
        if (high && !(at + 2 < units && text[at + 1] >= 0xDC00 && text[at + 1] <= 0xDFFF))
            return false;
        at += high;
    }
    return true;
}

std::wstring Bytes(const std::vector<BYTE>& data) {
    std::wstring text;
    wchar_t byte[4];
    for (size_t at = 0; at < data.size(); ++at) {
        swprintf(byte, 4, at ? L",%02x" : L"%02x", data[at]);
        text += byte;
    }
    return text;
}

std::wstring ValueLine(const RegistryValue& value) {
    std::wstring line = value.Name.empty() ? L"@=" : L"\"" + Escaped(value.Name) + L"\"=";
    if (IsPlainText(value)) {
        const auto* text = reinterpret_cast<const wchar_t*>(value.Data.data());
        return line + L"\"" + Escaped(std::wstring(text, value.Data.size() / 2 - 1)) + L"\"";
    }
    if (value.Type == REG_DWORD && value.Data.size() == sizeof(DWORD)) {
        DWORD number = 0;
        memcpy(&number, value.Data.data(), sizeof number);
        wchar_t digits[16];
        swprintf(digits, 16, L"%08lx", static_cast<unsigned long>(number));
        return line + L"dword:" + digits;
    }
    if (value.Type == REG_BINARY)
        return line + L"hex:" + Bytes(value.Data);
    wchar_t type[16];
    swprintf(type, 16, L"hex(%lx):", static_cast<unsigned long>(value.Type));
    return line + type + Bytes(value.Data);
}

void AppendKey(const std::wstring& path, const RegistryTree& tree, std::wstring* text) {
    *text += L"\r\n[" + path + L"]\r\n";
    for (const RegistryValue& value : tree.Values)
        *text += ValueLine(value) + L"\r\n";
    for (const RegistryTree& below : tree.Keys)
        AppendKey(path + L"\\" + below.Name, below, text);
}

} // namespace

std::string ComposeRegFile(const std::vector<ExportedKey>& keys) {
    std::wstring text = L"\xFEFF";
    text += kHeader;
    for (const ExportedKey& key : keys)
        AppendKey(key.Root + L"\\" + key.Path, key.Tree, &text);
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}
