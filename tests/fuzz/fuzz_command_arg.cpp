// The command-line reader on command lines of any content and length, with
// destinations of every size from none to a whole path's worth.
#include "fuzz_support.h"
#include "text/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const int n = input.ConsumeIntegralInRange(0, 5);
    const size_t room = input.ConsumeBool() ? kTextSize : input.ConsumeIntegralInRange(0, 40);
    const std::string line = input.ConsumeRemainingBytesAsString().c_str();
    std::vector<char> commandLine = kvf::Copy(line), destination = kvf::Room(room);

    const int result = GetCommandArgFrom(commandLine.data(), n, destination.data(), room);
    const bool odd = std::count(line.begin(), line.end(), '"') % 2 == 1;
    if (odd != (result == kArgUnbalanced))
        kvf::Fail("an odd number of quotes and the result disagree");
    if (result == kArgUnbalanced && room && destination[0] != 'z')
        kvf::Fail("an unbalanced line wrote the destination");
    if (result == kArgUnbalanced || !room)
        return 0;
    if (!std::memchr(destination.data(), 0, room))
        kvf::Fail("the destination is not terminated within its room");
    const std::string argument = destination.data();
    if (argument.find_first_of("\"\t") != std::string::npos)
        kvf::Fail("quotes or tabs left in the argument");
    if (room > 1 && (result == kArgFound) == argument.empty())
        kvf::Fail("found, yet empty (or the other way round)");
    return 0;
}
