// The command-line reader on command lines of any content and length, with
// destinations of every size from none to a whole path's worth.
#include "fuzz_support.h"
#include "text/text.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kvf::Input input(data, size);
    const int n = input.Byte() % 6;
    const size_t room = input.Byte() % 4 == 0 ? 261 : input.Byte() % 40;
    const std::string line = input.Rest();
    std::unique_ptr<kvf::Buffer> commandLine(kvf::Buffer::Of(line));
    kvf::Buffer destination(room);
    std::memset(destination.get(), 'z', room ? room : 1);

    const int result = GetCommandArgFrom(commandLine->get(), n, destination.get(), room);
    size_t quotes = 0;
    for (char c : line)
        quotes += c == '"';
    if ((quotes % 2 == 1) != (result == kArgUnbalanced))
        kvf::Fail("an odd number of quotes and the result disagree");
    if (result == kArgUnbalanced) {
        if (room && destination.get()[0] != 'z')
            kvf::Fail("an unbalanced line wrote the destination");
        return 0;
    }
    if (result != kArgFound && result != kArgMissing && result != kArgEmpty)
        kvf::Fail("unknown result");
    if (!room)
        return 0;
    if (!destination.Terminated())
        kvf::Fail("the destination is not terminated within its room");
    const std::string argument = destination.get();
    if (argument.find('"') != std::string::npos || argument.find('\t') != std::string::npos)
        kvf::Fail("quotes or tabs left in the argument");
    if ((result == kArgFound) != !argument.empty() && room > 1)
        kvf::Fail("found, yet empty (or the other way round)");
    if (result == kArgMissing && !argument.empty())
        kvf::Fail("a missing argument left text behind");
    return 0;
}
