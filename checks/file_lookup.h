// The files that commands, icon locations and Open With entries name,
// looked up on disk as the shell looks them up. One lookup lives for one
// check: each path, and each bare name on the search path, is asked of the
// file system once, whatever its letter case.
#pragma once
#include <windows.h>

#include <string>
#include <unordered_map>

class FileLookup {
  public:
    // Whether the program a command runs is not on disk: the text inside its
    // opening quotes, or, unquoted, the text up to each blank in turn
    // (shortest first) and then the whole line, as CreateProcess tries them,
    // each with its variables expanded and ".exe" added where it has no
    // extension; a bare name on the search path or under App Paths. For
    // rundll32.exe, whether the library it loads is not there. False where
    // the file runs itself ("%1") or a variable is not defined: the check
    // cannot tell, and flags nothing it cannot tell.
    bool ProgramMissing(const std::string& command);
    // The same for a program named by its file name (or path) alone.
    bool NamedProgramMissing(const std::string& name);
    // Whether the file of an icon location ("file", "file,index",
    // "file,-id") is not on disk. False for "%1" (each file its own icon)
    // and for an indirect "@..." location, which name no file.
    bool IconFileMissing(const std::string& location);

  private:
    enum class Found { Yes, No, CannotTell };
    Found FindProgram(const std::wstring& text);
    bool LibraryMissing(const std::wstring& arguments);
    // name (expanded) as a file, or with extension added where it has none;
    // a bare name on the search path.
    bool Locate(const std::wstring& name, const wchar_t* extension);
    bool OnSearchPath(const std::wstring& name, const wchar_t* extension);
    bool InAppPaths(const std::wstring& name);
    bool IsFile(const std::wstring& path);

    std::unordered_map<std::wstring, bool> files_; // by the folded path
    std::unordered_map<std::wstring, bool> names_; // bare names, by the folded name and extension
};
