// Writing a file whole: the reader of a file KVEL writes finds what it held
// or the whole new content, never a part, and nothing is left beside it.
#pragma once
#include <string>

// Writes bytes as the whole content of path: into a new file beside it,
// which then takes the old one's place. False, with path as it was, when the
// file cannot be written or the old one cannot be replaced (another program
// holds it without letting it go).
bool WriteWholeFile(const char* path, const std::string& bytes);
