// The changed-extensions file ("kvels"): the result of a comparison, saved on
// request with a description of the user's choice.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The "Description:" field holds at most 31 characters.
constexpr size_t kSaveDescriptionSize = 32;
// The text of the "Description:" field, taken when the user confirms a name.
extern char SaveDescription[kSaveDescriptionSize];

struct ChangedExtension {
    std::string Name;
    LPARAM Kind; // kChangeAdded gives an "ADDED-" line, any other kind "DELETED-"
};

// The whole file: ";" and the trimmed description (or the default title when
// it is blank), then one line per row in the order given, every line ended by
// "\r\n", nothing else.
std::string ComposeChangedExtensions(const char* description,
                                     const std::vector<ChangedExtension>& rows);

// On the compare worker thread: asks for a file name and writes the rows of
// the result list to that file; says so when the file could not be written.
void SaveChangedExtensions();

// Hook of the save dialog: adds the "Description:" field and reads it when the
// user confirms the name.
UINT_PTR CALLBACK SaveDialogHook(HWND hook, UINT message, WPARAM wParam, LPARAM lParam);
