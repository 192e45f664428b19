// Text rules that take their answer from the system: the registry's order of
// names, which follows the ANSI code page's letters, and the expansion of
// environment variables. (text.h holds the rules that need no system.)
#pragma once
#include <windows.h>

#include <string>

// The registry's order of names: each character upper-cased as the system
// upper-cases it (every letter of the ANSI code page, not only A to Z), then
// compared by its code. Below 0, 0 or above 0, as strcmp.
int CompareRegistryNames(const char* a, const char* b);
// A name's key in that order: equal keys for names the registry takes for one
// and the same.
std::wstring RegistryNameKey(const char* name);
