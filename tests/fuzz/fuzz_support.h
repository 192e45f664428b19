// What the fuzz targets share: input taken from the front, and texts copied
// into heap blocks of exactly their size, so that AddressSanitizer reports
// the first byte a routine reads or writes past the room it was given.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace kvf {

class Input {
  public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t Byte() { return size_ ? (--size_, *data_++) : 0; }
    // At most max bytes, up to a zero byte.
    std::string Text(size_t max) {
        std::string text;
        for (uint8_t c; size_ && text.size() < max && (c = Byte());)
            text.push_back(static_cast<char>(c));
        return text;
    }
    bool Empty() const { return size_ == 0; }

  private:
    const uint8_t* data_;
    size_t size_;
};

// size bytes, filled with 'z'.
inline std::vector<char> Room(size_t size) {
    std::vector<char> room(size ? size : 1, 'z');
    room.shrink_to_fit();
    return room;
}
// text and its zero, in exactly that many bytes.
inline std::vector<char> Copy(const std::string& text) {
    std::vector<char> copy(text.c_str(), text.c_str() + text.size() + 1);
    copy.shrink_to_fit();
    return copy;
}

// Stops the run; libFuzzer keeps the input that led here.
[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "kvel fuzz: %s\n", what);
    std::abort();
}

} // namespace kvf
