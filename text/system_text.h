// Text rules that take their answer from the system: the registry's order of
// names, which follows the ANSI code page's letters, the expansion of
// environment variables, the long form of a path, and what the running
// process was given. (text.h holds the rules that need no system.)
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

// The registry's order of names: each character upper-cased as the system
// upper-cases it (every letter of the ANSI code page, not only A to Z), then
// compared by its code. Below 0, 0 or above 0, as strcmp.
int CompareRegistryNames(const char* a, const char* b);
// A name's key in that order: equal keys for names the registry takes for one
// and the same.
std::wstring RegistryNameKey(const char* name);
