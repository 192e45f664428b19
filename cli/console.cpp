// Standard output and standard error, UTF-8 or a console's UTF-16.
#include "cli/console.h"

#include "resources/cli_texts.h"
#include "text/system_text.h"

#include <windows.h>

namespace {

void Write(DWORD which, const std::string& bytes) {
    const HANDLE handle = GetStdHandle(which);
    DWORD mode = 0, written = 0;
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || bytes.empty())
        return;
    if (GetConsoleMode(handle, &mode)) {
        const std::wstring wide = WideText(bytes.c_str());
        WriteConsoleW(handle, wide.c_str(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    for (size_t at = 0; at < bytes.size(); at += written)
        if (!WriteFile(handle, bytes.data() + at, static_cast<DWORD>(bytes.size() - at), &written,
                       nullptr) ||
            written == 0)
            return;
}

} // namespace

void WriteOutput(const std::string& bytes) {
    Write(STD_OUTPUT_HANDLE, bytes);
}

void SayError(const std::string& message) {
    Write(STD_ERROR_HANDLE, kCliPrefix + message + "\n");
}
