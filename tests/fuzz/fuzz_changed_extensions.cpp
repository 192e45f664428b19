// The changed-extensions file's text from any description and any rows: a
// header line, then exactly one line per row in the order given.
#include "compare/changed_extensions_text.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    // The "Description:" field is a one-line edit: no line breaks reach it.
    std::string description = input.ConsumeRandomLengthString(100).c_str();
    description = description.substr(0, description.find_first_of("\r\n"));
    std::vector<ChangedExtension> rows;
    std::string expected;
    while (input.remaining_bytes() && rows.size() < 200) {
        const std::intptr_t kind = input.ConsumeIntegralInRange(0, 2);
        rows.push_back({input.ConsumeRandomLengthString(60).c_str(), kind});
        expected += (kind == kChangeAdded ? "ADDED-" : "DELETED-") + rows.back().Name + "\r\n";
    }
    const std::string text = ComposeChangedExtensions(description.c_str(), rows);
    const size_t headerEnd = text.find("\r\n");
    if (text.empty() || text[0] != ';' || headerEnd == std::string::npos)
        kvf::Fail("no header line");
    const std::string title = text.substr(1, headerEnd - 1);
    if (title.empty() ||
        (title != "KVEL modified extension save file" && title.size() > kSaveDescriptionSize - 1))
        kvf::Fail("the title is empty or longer than its field");
    if (text.substr(headerEnd + 2) != expected)
        kvf::Fail("the rows are not one line each in the order given");
    return 0;
}
