// Text rules that take their answer from the system: the characters of the
// program's code page and their conversions, the registry's order of names
// and its case-blind comparison, the expansion of environment variables, the
// long form of a path, and what the running process was given. (text.h holds
// the rules that need no system.)
#pragma once
#include "text/text.h"

#include <windows.h>

#include <string>

// The n-th argument (0 = program name) of the process's command line, as
// GetCommandArgFrom reads it.
int GetCommandArg(int n, char* destination, size_t destinationSize);
// Directory of the running executable with its trailing backslash, in a
// buffer of at least kTextSize bytes; returns buffer.
char* AppDirectoryOf(char* buffer);

// text with its environment variables expanded, into expanded (kTextSize
// bytes). A result that does not fit is no text: false, and expanded empty.
bool ExpandText(const char* text, char* expanded);
// The long form of path, in place (kTextSize bytes); path stays as it was
// when there is none.
void ToLongForm(char* path);

// The characters of text as the system counts them: UTF-16 code units.
size_t CharacterCount(const char* text);
// Whether text is short enough for a buffer of size bytes: at most
// CharactersIn(size) characters. A longer text counts as absent.
bool FitsBuffer(const char* text, size_t size);

// The program's text as the system's wide text, and back; and as UTF-8,
// which it already is where the system honours the program's code page.
std::wstring WideText(const char* text);
std::string ProgramText(const wchar_t* text, size_t length);
std::string Utf8Text(const std::string& text);

// The registry's comparison of names: each UTF-16 code unit folded by the
// system's table (every script, not only A to Z; upper case on Windows, lower
// case under Wine, as each one's registry does), then compared by its code.
// CompareRegistryNames orders: below 0, 0 or above 0, as strcmp.
// CompareNoCase is 0 for names the registry takes for one and the same, else
// the 1-based byte position in a of the first character that differs.
int CompareRegistryNames(const char* a, const char* b);
int32_t CompareNoCase(const char* a, const char* b);
// A name's key in that order: equal keys for names the registry takes for
// one and the same.
std::wstring RegistryNameKey(const char* name);
std::wstring RegistryNameKey(const std::wstring& name);

// The system's own words for a status (FormatMessage), without the line end;
// "Error N" where the system has none.
std::string SystemMessage(DWORD status);
