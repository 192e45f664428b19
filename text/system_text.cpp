// Text rules that take their answer from the system.
#include "text/system_text.h"

#include <array>

int GetCommandArg(int n, char* destination, size_t destinationSize) {
    return GetCommandArgFrom(GetCommandLineA(), n, destination, destinationSize);
}

char* AppDirectoryOf(char* buffer) {
    // The whole buffer: a shorter limit would cut a deep path and leave a
    // directory that does not exist.
    DWORD length = GetModuleFileNameA(nullptr, buffer, kTextSize);
    if (length == 0 || length >= kTextSize) {
        buffer[0] = '\0';
        return buffer;
    }
    DirectoryOf(buffer, buffer);
    return buffer;
}

bool ExpandText(const char* text, char* expanded) {
    FillWords(expanded, kTextSize, 0);
    const DWORD length = ExpandEnvironmentStringsA(text, expanded, kTextSize);
    if (length != 0 && length <= kTextSize)
        return true;
    FillWords(expanded, kTextSize, 0);
    return false;
}

void ToLongForm(char* path) {
    char longPath[kTextSize] = {};
    const DWORD length = GetLongPathNameA(path, longPath, kTextSize);
    if (length != 0 && length < kTextSize)
        CopyTextBounded(longPath, path, kTextSize);
}

namespace {

// The upper case of each ANSI character as a wide character, as the registry
// compares it.
const std::array<wchar_t, 256>& RegistryUpperTable() {
    static const std::array<wchar_t, 256> table = [] {
        std::array<wchar_t, 256> upper{};
        for (int c = 0; c < 256; ++c) {
            const char single = static_cast<char>(c);
            wchar_t wide = static_cast<wchar_t>(c);
            MultiByteToWideChar(CP_ACP, 0, &single, 1, &wide, 1);
            CharUpperBuffW(&wide, 1);
            upper[c] = wide;
        }
        return upper;
    }();
    return table;
}

} // namespace

int CompareRegistryNames(const char* a, const char* b) {
    const std::array<wchar_t, 256>& upper = RegistryUpperTable();
    for (;; ++a, ++b) {
        const wchar_t ca = upper[static_cast<unsigned char>(*a)];
        const wchar_t cb = upper[static_cast<unsigned char>(*b)];
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (!ca)
            return 0;
    }
}

std::wstring RegistryNameKey(const char* name) {
    const std::array<wchar_t, 256>& upper = RegistryUpperTable();
    std::wstring key;
    for (; *name; ++name)
        key += upper[static_cast<unsigned char>(*name)];
    return key;
}
