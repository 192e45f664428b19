// The text of the changed-extensions file ("kvels"): plain data in, text out,
// with no window or file involved, so that it also builds away from Windows.
#pragma once
#include "text/text.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Change kinds, the item data of the compare dialog's result rows.
enum ChangeKind : int {
    kChangeAdded = 1,
    kChangeDeleted = 2,
};

// The "Description:" field holds at most 31 characters.
constexpr size_t kSaveDescriptionCharacters = 31;
constexpr size_t kSaveDescriptionSize = BufferFor(kSaveDescriptionCharacters);

struct ChangedExtension {
    std::string Name;
    std::intptr_t Kind; // kChangeAdded gives an "ADDED-" line, any other kind "DELETED-"
};

// The whole file: ";" and the trimmed description (or the default title when
// it is blank), then one line per row in the order given, every line ended by
// "\r\n", nothing else; in the program's text (the file is written in UTF-8).
std::string ComposeChangedExtensions(const char* description,
                                     const std::vector<ChangedExtension>& rows);
