// Which keys an export writes, without any window: shared by the Export
// commands and the command line.
#pragma once
#include "export/reg_file.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The extensions of hive's classes (HKEY_CURRENT_USER in user mode,
// HKEY_LOCAL_MACHINE in admin mode) in the registry's order, then its link
// types.
std::vector<std::string> ExportableExtensions(HKEY hive);

// Told before each extension is gathered: how many are done, of how many, and
// which comes next. Returning false stops the gathering.
using ExportProgress = std::function<bool(size_t done, size_t total, const std::string& extension)>;

// The keys of hive that exist for extensions (the extension key and its class
// and, in user mode, the class the merged view names and the user's FileExts
// entry), each once however many extensions share it, read whole. Empty when
// progress stopped it; progress may be empty.
std::vector<ExportedKey> GatherExportKeys(HKEY hive, const std::vector<std::string>& extensions,
                                          const ExportProgress& progress);
