// The readers of a file type: the registry and the shell's association
// answers into a record, no window involved. User mode reads the merged
// classes view, where the user's keys win and the user's choice of class
// decides what a double-click runs; admin mode reads the machine's classes.
#pragma once
#include "records/file_type.h"

#include <windows.h>

#include <string>

FileType ReadFileType(const std::string& extension, RunMode mode);
// The fields the details pane shows, read with fewer questions: in user mode
// neither the actions nor the Open With list.
FileType ReadFileTypeShown(const std::string& extension, RunMode mode);

// The record a new extension starts from: its name, nothing read.
FileType NewFileType(const std::string& extension);

// The actions below "shell" of a class key of root (HKEY_CLASSES_ROOT, or a
// hive's "Software\Classes"), in the registry's order, and that key's
// default value.
void ReadActions(HKEY root, const std::string& classPath, FileType* type);
