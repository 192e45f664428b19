// The text routines the program copies names and paths with, on texts of any
// content and length, each given exactly the room its caller guarantees.
#include "fuzz_support.h"
#include "text/text.h"

using kvf::Fail;
using kvf::Room;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const size_t room = input.ConsumeIntegralInRange(0, 1200);
    const std::string a = input.ConsumeRandomLengthString(600).c_str();
    const std::string b = input.ConsumeRandomLengthString(600).c_str();

    std::vector<char> trimmed = kvf::Copy(a);
    const size_t length = TrimText(trimmed.data());
    if (length != std::strlen(trimmed.data()) ||
        (length && (trimmed[0] == ' ' || trimmed[0] == '\t' ||
                    static_cast<unsigned char>(trimmed[length - 1]) < 33)))
        Fail("TrimText");

    // A copy cut short ends before the character the cut fell in, at most
    // three bytes back (a run of continuation bytes is cut).
    std::vector<char> bounded = Room(room);
    CopyTextBounded(a.c_str(), bounded.data(), room);
    const size_t copied = room ? std::strlen(bounded.data()) : 0, cut = copied < a.size();
    const bool inside = cut && (static_cast<unsigned char>(a[copied]) & 0xC0) == 0x80;
    if (room && (!std::memchr(bounded.data(), 0, room) || a.compare(0, copied, bounded.data()) ||
                 (cut && copied + 4 < room) || (inside && copied && copied + 4 != room)))
        Fail("CopyTextBounded");
    std::vector<char> joined = Room(room);
    const std::string whole = a + "\\" + b;
    const bool fits = whole.size() < room;
    if (JoinTextsBounded(joined.data(), room, {a.c_str(), "\\", b.c_str()}) != fits ||
        (room && joined.data() != (fits ? whole : "")))
        Fail("JoinTextsBounded");

    const size_t slash = a.rfind('\\');
    std::vector<char> file = Room(a.size() + 1), folder = Room(a.size() + 1);
    const int named = FileNameOf(a.c_str(), file.data());
    DirectoryOf(a.c_str(), folder.data());
    if (slash == std::string::npos ? named != -1 || file[0] != 'z' || folder[0]
                                   : named || a.substr(slash + 1) != file.data() ||
                                         a.substr(0, slash + 1) != folder.data())
        Fail("FileNameOf or DirectoryOf");
    return 0;
}
