// Text rules that take their answer from the system.
#include "text/system_text.h"

#include <array>

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
