// Text routines on zero-terminated texts in caller-owned buffers. Texts are in
// the program's code page, UTF-8 (its manifest asks for it): a character, as
// the system counts characters (a UTF-16 code unit), takes one to three bytes,
// and a character beyond the Basic Multilingual Plane two units in four
// bytes. None of the routines allocates; unless a routine says otherwise the
// caller guarantees room in the destination.
#pragma once
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

#ifdef _WIN32
#include <windows.h>
// The common dialogs' header maps FindText to FindTextA; here it is the text search.
#undef FindText
#endif

// A buffer for texts of up to characters characters, and the characters a
// buffer of size bytes holds: three bytes a character and the terminator.
constexpr size_t BufferFor(size_t characters) {
    return characters * 3 + 1;
}
constexpr size_t CharactersIn(size_t size) {
    return size ? (size - 1) / 3 : 0;
}

// The program's fixed text buffers: names of at most 259 characters, and
// working texts read from the registry or the shell of at most 260.
constexpr size_t kNameCharacters = 259;
constexpr size_t kTextCharacters = 260;
constexpr size_t kNameSize = BufferFor(kNameCharacters);
constexpr size_t kTextSize = BufferFor(kTextCharacters);

// GetCommandArg results
enum CommandArgResult : int {
    kArgFound = 1,      // argument copied, not empty
    kArgMissing = 2,    // the command line has no such argument; destination emptied
    kArgUnbalanced = 3, // odd number of double quotes; destination not written
    kArgEmpty = 4,      // argument exists but is empty (e.g. "" or trailing blanks)
};

// The n-th argument (0 = program name) of commandLine, copied without double
// quotes into destination, which holds at least destinationSize bytes (the
// copy is cut to fit and always terminated). GetCommandArg (system_text.h)
// reads the process's own command line.
int GetCommandArgFrom(const char* commandLine, int n, char* destination, size_t destinationSize);

// Appends count texts to what destination already holds; returns destination.
char* JoinTexts(int count, char* destination, ...);
// Joins the texts into destination (size bytes, cleared first); false, and
// destination empty, when they do not fit with the terminator.
bool JoinTextsBounded(char* destination, size_t size, std::initializer_list<const char*> texts);
char* AppendText(char* destination, const char* source);
// Copies source (terminator included) into destination. Source comes first.
void CopyText(const char* source, char* destination);
// Copies at most size - 1 bytes of source and terminates destination; a
// source that does not fit is cut before the character that would not fit
// whole, never inside one.
void CopyTextBounded(const char* source, char* destination, size_t size);
size_t TextLength(const char* text);
// 1-based position of pattern in text at or after start; 0 none; -1 when the
// pattern is not shorter than the text; -2 for a start out of range.
int32_t FindText(int32_t start, const char* text, const char* pattern);
// In place: drops leading blanks and tabs and everything after the last byte
// of code 33 or above; returns the new length.
size_t TrimText(char* text);
uint32_t ParseDecimal(const char* text);
void FormatDecimal(int32_t value, char* destination);
void LeftText(const char* source, char* destination, size_t n);
void MidText(const char* source, char* destination, size_t offset, size_t n);
void RightText(const char* source, char* destination, size_t n);
void CopyBytes(const void* source, void* destination, size_t n);
// Stores value into the first n / 4 whole 32-bit words of destination.
void FillWords(void* destination, size_t n, uint32_t value);

// Part after the last backslash: 0 and destination written, or -1 and
// destination untouched when path has no backslash.
int FileNameOf(const char* path, char* destination);
// Path up to and including its last backslash; empty when there is none.
void DirectoryOf(const char* path, char* destination);

// Whether text is a URI scheme as RFC 3986 spells one: a letter (A-Z, a-z),
// then letters, digits, "+", "-" or ".". Other characters of any script, a
// blank or a ":" are refused.
bool IsUrlScheme(const char* text);
