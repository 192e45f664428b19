// The text routines on texts of any content and length, each in buffers of
// exactly the room its caller guarantees, checked against their rules.
#include "fuzz_support.h"
#include "text/text.h"

#include <memory>

namespace {

using kvf::Buffer;
using kvf::Fail;

bool EqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (CaseTable[static_cast<unsigned char>(a[i])] !=
            CaseTable[static_cast<unsigned char>(b[i])])
            return false;
    return true;
}

// FindText's rules, written out plainly.
int32_t FindTextByRule(int32_t start, const std::string& text, const std::string& pattern) {
    if (start < 1)
        return -2;
    if (pattern.size() >= text.size())
        return -1;
    const int32_t last = static_cast<int32_t>(text.size() - pattern.size()) + 1;
    if (start > last)
        return -2;
    size_t found = text.find(pattern, static_cast<size_t>(start - 1));
    return found == std::string::npos ? 0 : static_cast<int32_t>(found) + 1;
}

void CheckCompare(const std::string& a, const std::string& b) {
    const int32_t result = CompareNoCase(a.c_str(), b.c_str());
    if ((result == 0) != EqualNoCase(a, b))
        Fail("CompareNoCase disagrees with the case table");
    if ((CompareNoCase(b.c_str(), a.c_str()) == 0) != (result == 0))
        Fail("CompareNoCase is not symmetric");
    if (result < 0 || static_cast<size_t>(result) > std::min(a.size(), b.size()) + 1)
        Fail("CompareNoCase position out of range");
}

void CheckTrim(const std::string& text) {
    std::unique_ptr<Buffer> buffer(Buffer::Of(text));
    const size_t length = TrimText(buffer->get());
    if (length != std::strlen(buffer->get()) || length > text.size())
        Fail("TrimText length");
    if (length && (buffer->get()[0] == ' ' || buffer->get()[0] == '\t' ||
                   static_cast<unsigned char>(buffer->get()[length - 1]) < 33))
        Fail("TrimText left blanks");
}

void CheckDecimal(int32_t value, const std::string& digits) {
    Buffer formatted(12); // "-2147483648" and its zero
    FormatDecimal(value, formatted.get());
    if (!formatted.Terminated() || std::strtoll(formatted.get(), nullptr, 10) != value)
        Fail("FormatDecimal does not give the value back");
    ParseDecimal(digits.c_str());
}

void CheckPaths(const std::string& path) {
    const size_t slash = path.rfind('\\');
    std::unique_ptr<Buffer> file(new Buffer(path.size() + 1));
    std::memset(file->get(), 'u', file->size());
    const int result = FileNameOf(path.c_str(), file->get());
    if (slash == std::string::npos) {
        if (result != -1 || file->get()[0] != 'u')
            Fail("FileNameOf wrote without a backslash");
    } else if (result != 0 || path.substr(slash + 1) != file->get()) {
        Fail("FileNameOf gave another part");
    }
    std::unique_ptr<Buffer> folder(new Buffer(path.size() + 1));
    DirectoryOf(path.c_str(), folder->get());
    if ((slash == std::string::npos ? "" : path.substr(0, slash + 1)) != folder->get())
        Fail("DirectoryOf gave another part");
}

void CheckCopies(const std::string& a, const std::string& b, size_t size, size_t n) {
    Buffer bounded(size);
    CopyTextBounded(a.c_str(), bounded.get(), size);
    if (size && (!bounded.Terminated() || a.compare(0, size - 1, bounded.get()) != 0))
        Fail("CopyTextBounded");

    std::unique_ptr<Buffer> joined(new Buffer(a.size() + b.size() + a.size() + 1));
    joined->get()[0] = '\0';
    JoinTexts(3, joined->get(), a.c_str(), b.c_str(), a.c_str());
    if (a + b + a != joined->get())
        Fail("JoinTexts");

    const size_t left = a.empty() ? 0 : n % (a.size() + 1);
    std::unique_ptr<Buffer> part(new Buffer(left + 1));
    LeftText(a.c_str(), part->get(), left);
    if (a.substr(0, left) != std::string(part->get(), std::strlen(part->get())) &&
        a.substr(0, left).find('\0') == std::string::npos)
        Fail("LeftText");
    const size_t offset = a.empty() ? 0 : (n / 7) % (a.size() + 1);
    const size_t count = (a.size() - offset) ? n % (a.size() - offset + 1) : 0;
    std::unique_ptr<Buffer> middle(new Buffer(count + 1));
    MidText(a.c_str(), middle->get(), offset, count);
    if (a.substr(offset, count) != middle->get())
        Fail("MidText");
    std::unique_ptr<Buffer> right(new Buffer(a.size() + 1));
    RightText(a.c_str(), right->get(), n);
    if (a.substr(a.size() - std::min(n, a.size())) != right->get())
        Fail("RightText");

    Buffer words(size);
    FillWords(words.get(), size, 0);
    for (size_t i = 0; i < size / 4 * 4; ++i)
        if (words.get()[i] != 0)
            Fail("FillWords");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kvf::Input input(data, size);
    const size_t room = input.Byte() + 4 * input.Byte();
    const size_t n = input.Byte() + 256 * input.Byte();
    int32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value = static_cast<int32_t>(static_cast<uint32_t>(value) << 8 | input.Byte());
    const int32_t start = static_cast<int8_t>(input.Byte());
    const std::string a = input.Text(600);
    const std::string b = input.Text(600);
    const std::string rest = input.Rest();

    CheckCompare(a, b);
    std::unique_ptr<Buffer> text(Buffer::Of(a)), pattern(Buffer::Of(b));
    if (FindText(start, text->get(), pattern->get()) != FindTextByRule(start, a, b))
        Fail("FindText disagrees with its rules");
    CheckTrim(a);
    CheckTrim(rest);
    CheckDecimal(value, b);
    CheckPaths(a);
    CheckCopies(a, b, room, n);
    return 0;
}
