// What the fuzz targets share: input split into texts, and buffers of an exact
// size on the heap, so that AddressSanitizer reports the first byte written
// or read past the room a routine was given.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace kvf {

// Consumes the input from the front: bytes, numbers and zero-free texts.
class Input {
  public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t Byte() {
        if (!size_)
            return 0;
        --size_;
        return *data_++;
    }
    // A text of at most max bytes, without zeros; ends at a zero byte.
    std::string Text(size_t max) {
        std::string text;
        while (size_ && text.size() < max) {
            uint8_t c = Byte();
            if (!c)
                break;
            text.push_back(static_cast<char>(c));
        }
        return text;
    }
    std::string Rest() { return Text(size_); }
    bool Empty() const { return size_ == 0; }

  private:
    const uint8_t* data_;
    size_t size_;
};

// size bytes on the heap, filled with a byte that no routine writes.
class Buffer {
  public:
    explicit Buffer(size_t size)
        : bytes_(static_cast<char*>(std::malloc(size ? size : 1))), size_(size) {
        std::memset(bytes_, 0x7F, size ? size : 1);
    }
    ~Buffer() { std::free(bytes_); }
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;
    char* get() { return bytes_; }
    size_t size() const { return size_; }
    // A copy of text with its zero in a buffer of exactly that size.
    static Buffer* Of(const std::string& text) {
        auto* buffer = new Buffer(text.size() + 1);
        std::memcpy(buffer->bytes_, text.c_str(), text.size() + 1);
        return buffer;
    }
    bool Terminated() const { return std::memchr(bytes_, 0, size_) != nullptr; }

  private:
    char* bytes_;
    size_t size_;
};

// Stops the run with a report: libFuzzer keeps the input that led here.
[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "kvel fuzz: %s\n", what);
    std::abort();
}

} // namespace kvf
