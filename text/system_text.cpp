// Text rules that take their answer from the system.
#include "text/system_text.h"

#include <cstdint>
#include <cstring>
#include <vector>

int GetCommandArg(int n, char* destination, size_t destinationSize) {
    return GetCommandArgFrom(GetCommandLineA(), n, destination, destinationSize);
}

char* AppDirectoryOf(char* buffer) {
    // The whole buffer: a shorter limit would cut a deep path and leave a
    // directory that does not exist.
    DWORD length = GetModuleFileNameA(nullptr, buffer, kTextSize);
    if (length == 0 || length >= kTextSize || !FitsBuffer(buffer, kTextSize)) {
        buffer[0] = '\0';
        return buffer;
    }
    DirectoryOf(buffer, buffer);
    return buffer;
}

bool ExpandText(const char* text, char* expanded) {
    FillWords(expanded, kTextSize, 0);
    const DWORD length = ExpandEnvironmentStringsA(text, expanded, kTextSize);
    if (length != 0 && length <= kTextSize && FitsBuffer(expanded, kTextSize))
        return true;
    FillWords(expanded, kTextSize, 0);
    return false;
}

void ToLongForm(char* path) {
    char longPath[kTextSize] = {};
    const DWORD length = GetLongPathNameA(path, longPath, kTextSize);
    if (length != 0 && length < kTextSize && FitsBuffer(longPath, kTextSize))
        CopyTextBounded(longPath, path, kTextSize);
}

// The system's own upper and lower case of a UTF-16 code unit.
extern "C" WCHAR NTAPI RtlUpcaseUnicodeChar(WCHAR unit);
extern "C" WCHAR NTAPI RtlDowncaseUnicodeChar(WCHAR unit);

namespace {

bool ProgramCodePageIsUtf8() {
    static const bool utf8 = GetACP() == CP_UTF8;
    return utf8;
}

// Every UTF-16 code unit as the registry folds it to compare key names:
// Windows' registry upper-cases each unit, Wine's lower-cases it (so that
// "_x" comes before "ax" there, and "ß" before "É"). The program's order
// follows the registry it runs on, so that walks over two hives' names in
// their own order agree with it.
const std::vector<wchar_t>& FoldingTable() {
    static const std::vector<wchar_t> table = [] {
        const bool wine =
            GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
        std::vector<wchar_t> folded(0x10000);
        for (size_t unit = 0; unit < folded.size(); ++unit)
            folded[unit] = wine ? RtlDowncaseUnicodeChar(static_cast<WCHAR>(unit))
                                : RtlUpcaseUnicodeChar(static_cast<WCHAR>(unit));
        return folded;
    }();
    return table;
}

// The UTF-16 code units of a text in the program's code page, one at a
// time, with where the character of each begins.
class UnitReader {
  public:
    explicit UnitReader(const char* text) : next_(text), start_(text) {}
    // The next unit; 0 at the end.
    wchar_t Next() {
        if (pending_) {
            const wchar_t unit = pending_;
            pending_ = 0;
            return unit;
        }
        start_ = next_;
        const auto lead = static_cast<unsigned char>(*next_);
        if (lead < 0x80) {
            if (lead)
                ++next_;
            return lead;
        }
        return ProgramCodePageIsUtf8() ? NextUtf8(lead) : NextOther();
    }
    const char* CharacterStart() const { return start_; }

  private:
    // A sequence that is not UTF-8 is one unknown character a byte, as the
    // system's conversion has it.
    wchar_t NextUtf8(unsigned char lead) {
        const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        uint32_t code = lead & (0x7F >> length);
        int read = 1;
        for (; length && read < length; ++read) {
            const auto byte = static_cast<unsigned char>(next_[read]);
            if ((byte & 0xC0) != 0x80)
                break;
            code = code << 6 | (byte & 0x3F);
        }
        const bool valid = length && read == length && code <= 0x10FFFF &&
                           !(code >= 0xD800 && code <= 0xDFFF) &&
                           code >= (length == 2   ? 0x80u
                                    : length == 3 ? 0x800u
                                                  : 0x10000u);
        if (!valid) {
            ++next_;
            return 0xFFFD;
        }
        next_ += length;
        if (code < 0x10000)
            return static_cast<wchar_t>(code);
        code -= 0x10000;
        pending_ = static_cast<wchar_t>(0xDC00 | (code & 0x3FF));
        return static_cast<wchar_t>(0xD800 | (code >> 10));
    }

    wchar_t NextOther() {
        const int length = IsDBCSLeadByte(static_cast<BYTE>(*next_)) && next_[1] ? 2 : 1;
        wchar_t units[2] = {0xFFFD, 0};
        const int count = MultiByteToWideChar(CP_ACP, 0, next_, length, units, 2);
        next_ += length;
        if (count == 2)
            pending_ = units[1];
        return units[0];
    }

    const char* next_;
    const char* start_;
    wchar_t pending_ = 0;
};

// The folded units where a and b first differ (both 0 where they do not) and
// the start of a's character there.
struct FoldedDifference {
    wchar_t A, B;
    const char* At;
};
FoldedDifference FirstFoldedDifference(const char* a, const char* b) {
    const std::vector<wchar_t>& folded = FoldingTable();
    UnitReader readerA(a), readerB(b);
    for (;;) {
        const wchar_t ca = folded[readerA.Next()];
        const wchar_t cb = folded[readerB.Next()];
        if (ca != cb || !ca)
            return {ca, cb, readerA.CharacterStart()};
    }
}

// length UTF-16 units in codePage, whole.
std::string NarrowText(UINT codePage, const wchar_t* text, size_t length) {
    const int size = length ? WideCharToMultiByte(codePage, 0, text, static_cast<int>(length),
                                                  nullptr, 0, nullptr, nullptr)
                            : 0;
    std::string converted(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(codePage, 0, text, static_cast<int>(length), &converted[0], size,
                            nullptr, nullptr);
    return converted;
}

} // namespace

size_t CharacterCount(const char* text) {
    size_t count = 0;
    for (UnitReader reader(text); reader.Next();)
        ++count;
    return count;
}

bool FitsBuffer(const char* text, size_t size) {
    const size_t room = CharactersIn(size);
    size_t count = 0;
    // Most texts are plain ASCII: a byte a character, counted without decoding.
    for (; static_cast<unsigned char>(*text) - 1u < 0x7Fu; ++text)
        if (++count > room)
            return false;
    for (UnitReader reader(text); reader.Next();)
        if (++count > room)
            return false;
    return true;
}

std::wstring WideText(const char* text) {
    std::wstring wide;
    wide.reserve(strlen(text));
    for (UnitReader reader(text);;) {
        const wchar_t unit = reader.Next();
        if (!unit)
            return wide;
        wide += unit;
    }
}

std::string ProgramText(const wchar_t* text, size_t length) {
    return NarrowText(CP_ACP, text, length);
}

std::string Utf8Text(const std::string& text) {
    if (ProgramCodePageIsUtf8())
        return text;
    const std::wstring wide = WideText(text.c_str());
    return NarrowText(CP_UTF8, wide.c_str(), wide.size());
}

int CompareRegistryNames(const char* a, const char* b) {
    const FoldedDifference difference = FirstFoldedDifference(a, b);
    return difference.A == difference.B ? 0 : difference.A < difference.B ? -1 : 1;
}

int32_t CompareNoCase(const char* a, const char* b) {
    const FoldedDifference difference = FirstFoldedDifference(a, b);
    return difference.A == difference.B ? 0 : static_cast<int32_t>(difference.At - a) + 1;
}

std::wstring RegistryNameKey(const char* name) {
    const std::vector<wchar_t>& folded = FoldingTable();
    std::wstring key;
    key.reserve(strlen(name));
    for (UnitReader reader(name);;) {
        const wchar_t unit = reader.Next();
        if (!unit)
            return key;
        key += folded[unit];
    }
}

std::wstring RegistryNameKey(const std::wstring& name) {
    const std::vector<wchar_t>& folded = FoldingTable();
    std::wstring key(name);
    for (wchar_t& unit : key)
        unit = folded[unit];
    return key;
}

std::string SystemMessage(DWORD status) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, status, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = length ? ProgramText(buffer, length) : "";
    LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text.empty() ? "Error " + std::to_string(status) : text;
}
