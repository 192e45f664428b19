// What the three parts of the shell services share (association answers,
// icon sources, the read scope with the file information): the merged view's
// reads as a read scope keeps them, the modules a scope keeps loaded, and the
// stamps of files whose answers are kept. Not for use outside platform/.
#pragma once
#include <windows.h>

#include <string>

namespace shell_parts {

// The default (or a named) value of HKEY_CLASSES_ROOT\path, or of
// HKEY_CURRENT_USER\path, as text; inside a ShellReadScope each value and each
// key is read once.
bool ReadClassesText(const std::string& path, const char* name, std::string* text);
bool ReadUserText(const std::string& path, const char* name, std::string* text);
bool ClassesKeyExists(const std::string& path);

// The class the shell opens, describes and draws an extension's files (or a
// link type's links) through: the user's choice ("UserChoice") where it
// names a class that exists, else the extension's own class (a link type is
// its own). False when there is neither; chosen says whether the user's
// choice decided.
bool AssociatedClass(const std::string& extension, std::string* className, bool* chosen);
// The shell's type name for an extension that has no description: the
// extension without its dot in capitals and " File"; for a link type "URL:"
// and its scheme.
std::string UpperTypeName(const std::string& extension);
// 0 outside a read scope; inside one, a number that differs from that of any
// other outermost scope of the thread, for answers kept while it lasts.
unsigned ReadScopeNumber();
// Inside a scope: file loaded for its resources, once for the scope (null
// when it does not load). Not to be called outside a scope.
HMODULE ScopedModule(const std::string& file);

// The text expanded; empty when that does not fit a buffer of kTextSize,
// since no file has such a path.
std::string Expand(const std::string& text);
std::string FileNamePart(const std::string& path);

// A file as last seen: its size and time of last write.
struct FileStamp {
    FILETIME written = {};
    DWORD sizeHigh = 0;
    DWORD sizeLow = 0;
};
FileStamp StampFrom(const WIN32_FILE_ATTRIBUTE_DATA& data);
bool StampOf(const std::string& file, FileStamp* stamp);
bool SameStamp(const FileStamp& a, const FileStamp& b);

// Whether the icon location names a file that is there but cannot be read
// whole; a location naming no file at all is harmless.
bool NamesBrokenFile(const std::string& location);

} // namespace shell_parts
