// "Export..." and "Export All...": the keys of the mode's types written to a
// registry file the user names, which regedit or "reg import" bring back.
// In user mode: the user's own extension key, class key and FileExts entry of
// each type; in admin mode: the machine's extension key and class key.
#pragma once
#include "records/file_type.h"

#include <windows.h>

#include <string>

// One extension; in user mode a type that is the machine's alone has nothing
// of the user's, which is said instead of writing an empty file.
void ExportExtension(HWND owner, const std::string& extension, RunMode mode);
// Every type of the mode: the user's customised and own ones, or the
// machine's whole catalogue. The file is asked for first, then the keys are
// read on a worker thread under a progress window.
void ExportAllExtensions(HWND owner, RunMode mode);
