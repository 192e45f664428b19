// Text routines on zero-terminated texts.
#include "text/text.h"

#include <cstdarg>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

const char* LastBackslash(const char* path) {
    const char* last = nullptr;
    for (const char* p = path; *p; ++p)
        if (*p == '\\')
            last = p;
    return last;
}

// A byte inside a UTF-8 sequence, after its first.
bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

// Walks the command line in place instead of through a working copy, so a
// command line of any length is read whole and nothing is overrun.
int GetCommandArgFrom(const char* commandLine, int n, char* destination, size_t destinationSize) {
    const char* line = commandLine ? commandLine : "";
    size_t quotes = 0;
    for (const char* p = line; *p; ++p)
        quotes += *p == '"';
    if (quotes % 2)
        return kArgUnbalanced;

    const char* p = line;
    while (IsBlank(*p))
        ++p;
    for (int index = 0;; ++index) {
        // p is at the start of argument number index (possibly empty at the end).
        size_t copied = 0;
        bool quoted = false;
        for (; *p && (quoted || !IsBlank(*p)); ++p) {
            if (*p == '"') {
                quoted = !quoted;
                continue;
            }
            if (index == n && copied + 1 < destinationSize)
                destination[copied++] = IsBlank(*p) ? ' ' : *p;
        }
        if (index == n) {
            if (destinationSize)
                destination[copied] = '\0';
            return copied ? kArgFound : kArgEmpty;
        }
        if (!*p)
            break;
        while (IsBlank(*p))
            ++p;
        // A run of blanks at the very end opens one more, empty argument: the
        // loop goes round once more with p at the terminator.
    }
    if (destinationSize)
        destination[0] = '\0';
    return kArgMissing;
}

char* JoinTexts(int count, char* destination, ...) {
    va_list texts;
    va_start(texts, destination);
    for (int i = 0; i < count; ++i)
        AppendText(destination, va_arg(texts, const char*));
    va_end(texts);
    return destination;
}

bool JoinTextsBounded(char* destination, size_t size, std::initializer_list<const char*> texts) {
    FillWords(destination, size, 0);
    size_t length = 0;
    for (const char* text : texts) {
        const size_t add = TextLength(text);
        if (length + add >= size) {
            FillWords(destination, size, 0);
            if (size)
                destination[0] = '\0';
            return false;
        }
        CopyText(text, destination + length);
        length += add;
    }
    if (size)
        destination[length] = '\0';
    return true;
}

char* AppendText(char* destination, const char* source) {
    CopyText(source, destination + TextLength(destination));
    return destination;
}

void CopyText(const char* source, char* destination) {
    while ((*destination++ = *source++) != '\0') {
    }
}

void CopyTextBounded(const char* source, char* destination, size_t size) {
    if (!size)
        return;
    size_t i = 0;
    for (; i + 1 < size && source[i]; ++i)
        destination[i] = source[i];
    // Cut short: back to the start of the character the cut fell in (a
    // sequence is at most four bytes).
    for (size_t back = 0; source[i] && i > 0 && back < 3 && IsContinuationByte(source[i]); ++back)
        --i;
    destination[i] = '\0';
}

size_t TextLength(const char* text) {
    size_t length = 0;
    while (text[length])
        ++length;
    return length;
}

int32_t FindText(int32_t start, const char* text, const char* pattern) {
    if (start < 1)
        return -2;
    const int32_t textLength = static_cast<int32_t>(TextLength(text));
    const int32_t patternLength = static_cast<int32_t>(TextLength(pattern));
    if (patternLength >= textLength)
        return -1;
    const int32_t last = textLength - patternLength + 1;
    if (start > last)
        return -2;
    for (int32_t position = start; position <= last; ++position) {
        int32_t i = 0;
        while (i < patternLength && text[position - 1 + i] == pattern[i])
            ++i;
        if (i == patternLength)
            return position;
    }
    return 0;
}

size_t TrimText(char* text) {
    size_t start = 0;
    while (IsBlank(text[start]))
        ++start;
    size_t length = 0;
    for (size_t i = start; text[i]; ++i)
        if (static_cast<unsigned char>(text[i]) >= 33)
            length = i - start + 1;
    for (size_t i = 0; i < length; ++i)
        text[i] = text[start + i];
    text[length] = '\0';
    return length;
}

uint32_t ParseDecimal(const char* text) {
    uint32_t value = 0;
    for (; *text; ++text)
        value = value * 10 + static_cast<uint32_t>(static_cast<unsigned char>(*text) - '0');
    return value;
}

void FormatDecimal(int32_t value, char* destination) {
    // Work on the magnitude as unsigned, so that the most negative value has one.
    uint32_t magnitude =
        value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    char digits[12];
    size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    size_t out = 0;
    if (value < 0)
        destination[out++] = '-';
    while (count)
        destination[out++] = digits[--count];
    destination[out] = '\0';
}

void LeftText(const char* source, char* destination, size_t n) {
    CopyBytes(source, destination, n);
    destination[n] = '\0';
}

void MidText(const char* source, char* destination, size_t offset, size_t n) {
    CopyBytes(source + offset, destination, n);
    destination[n] = '\0';
}

void RightText(const char* source, char* destination, size_t n) {
    const size_t length = TextLength(source);
    CopyText(source + (n < length ? length - n : 0), destination);
}

void CopyBytes(const void* source, void* destination, size_t n) {
    const auto* from = static_cast<const unsigned char*>(source);
    auto* to = static_cast<unsigned char*>(destination);
    for (size_t i = 0; i < n; ++i)
        to[i] = from[i];
}

void FillWords(void* destination, size_t n, uint32_t value) {
    auto* bytes = static_cast<unsigned char*>(destination);
    for (size_t word = 0; word < n / 4; ++word)
        CopyBytes(&value, bytes + word * 4, 4);
}

int FileNameOf(const char* path, char* destination) {
    const char* lastSlash = LastBackslash(path);
    if (!lastSlash)
        return -1;
    CopyText(lastSlash + 1, destination);
    return 0;
}

void DirectoryOf(const char* path, char* destination) {
    const char* lastSlash = LastBackslash(path);
    if (!lastSlash) {
        destination[0] = '\0';
        return;
    }
    LeftText(path, destination, static_cast<size_t>(lastSlash - path) + 1);
}

bool IsUrlScheme(const char* text) {
    const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (!text || !letter(text[0]))
        return false;
    for (const char* c = text + 1; *c; ++c)
        if (!letter(*c) && !(*c >= '0' && *c <= '9') && *c != '+' && *c != '-' && *c != '.')
            return false;
    return true;
}
