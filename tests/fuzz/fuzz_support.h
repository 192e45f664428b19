// Texts in heap blocks of exactly their size, so that AddressSanitizer reports
// the first byte a routine reads or writes past the room it was given.
#pragma once
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace kvf {

// size bytes (at least one), filled with 'z'.
inline std::vector<char> Room(size_t size) {
    return std::vector<char>(std::max<size_t>(size, 1), 'z');
}
// text and its zero, in exactly that many bytes.
inline std::vector<char> Copy(const std::string& text) {
    return std::vector<char>(text.c_str(), text.c_str() + text.size() + 1);
}

// Stops the run; libFuzzer keeps the input that led here.
[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "kvel fuzz: %s\n", what);
    std::abort();
}

} // namespace kvf
