// Export All's work on a worker thread, under a small progress window
// (dialog 9100) that shows itself only once the work takes more than a
// moment, and whose Cancel stops it.
#pragma once
#include <windows.h>

#include <string>

// The registry file's bytes of every extension of hive's classes, into
// bytes; false when the user cancelled.
bool ComposeAllWithProgress(HWND owner, HKEY hive, std::string* bytes);
