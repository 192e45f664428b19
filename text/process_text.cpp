// The text routines that read the running process: its command line and the
// folder of its executable.
#include "text/text.h"

int GetCommandArg(int n, char* destination, size_t destinationSize) {
    return GetCommandArgFrom(GetCommandLineA(), n, destination, destinationSize);
}

char* AppDirectoryOf(char* buffer) {
    // The whole 261-byte buffer: a shorter limit would cut a deep path and
    // leave a directory that does not exist.
    DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) {
        buffer[0] = '\0';
        return buffer;
    }
    DirectoryOf(buffer, buffer);
    return buffer;
}
