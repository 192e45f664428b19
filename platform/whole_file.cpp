// Writing a file whole, beside its old one, which it then replaces.
#include "platform/whole_file.h"

#include "platform/handles.h"
#include "text/text.h"

#include <windows.h>

namespace {

// Replacing an old file that another program holds is tried again this
// often, this many milliseconds apart.
constexpr int kReplaceAttempts = 5;
constexpr DWORD kReplaceRetryMs = 100;

// Gives the whole new file the old one's name. An old file that a reader
// keeps open cannot be replaced by name even where the reader lets others
// delete it: it is moved aside first, and goes once the new file is in
// place, or comes back.
bool PutInPlace(const char* folder, const char* temporary, const char* path) {
    if (MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING))
        return true;
    char aside[kTextSize + MAX_PATH] = {};
    if (!GetTempFileNameA(folder, "kvl", 0, aside))
        return false;
    if (!MoveFileExA(path, aside, MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(aside);
        return false;
    }
    if (!MoveFileExA(temporary, path, 0)) {
        MoveFileExA(aside, path, 0);
        return false;
    }
    DeleteFileA(aside);
    return true;
}

} // namespace

bool WriteWholeFile(const char* path, const std::string& text) {
    char folder[kTextSize] = {};
    DirectoryOf(path, folder);
    if (!folder[0])
        folder[0] = '.';
    char temporary[kTextSize + MAX_PATH] = {};
    if (!GetTempFileNameA(folder, "kvl", 0, temporary))
        return false;
    bool saved = false;
    {
        FileOwner file(ValidFile(CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, nullptr)));
        DWORD written = 0;
        saved = file &&
                WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written,
                          nullptr) &&
                written == text.size() && FlushFileBuffers(file.get());
    }
    // A scanner or the file dialog's own view may hold the old file for a
    // moment: the replacement is tried a few times before it counts as failed.
    bool placed = false;
    for (int attempt = 0; saved && !placed && attempt < kReplaceAttempts; ++attempt) {
        if (attempt > 0)
            Sleep(kReplaceRetryMs);
        placed = PutInPlace(folder, temporary, path);
    }
    if (!placed)
        DeleteFileA(temporary);
    return placed;
}
