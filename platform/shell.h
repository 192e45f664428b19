// Shell services the program asks for by name, served with Windows' rules from
// the merged classes view of platform/registry.h, because Wine answers few
// association queries and does not see the user's classes.
//
// Everything else the shell offers (program icons, the system image lists,
// path functions, file dialogs, ShellExecuteA, SHChangeNotify, IsUserAnAdmin)
// is used directly from Windows or Wine.
#pragma once
#include <windows.h>
#include <shlwapi.h>
#include <shellapi.h>

#include <string>

// AssocQueryStringA with the flag sets the program uses, answered as
// Windows answers them:
//  - ASSOCF_INIT_IGNOREUNKNOWN|ASSOCF_INIT_DEFAULTTOSTAR, or
//    ASSOCF_INIT_DEFAULTTOSTAR alone, for an extension (".txt"): the class is
//    the one the user chose for it (ShellUserChoice), else the extension key's
//    default value; with DEFAULTTOSTAR the verbs of "*" stand in when the
//    class has none; with IGNOREUNKNOWN an extension without a class fails.
//  - ASSOCF_INIT_BYEXENAME (with or without ASSOCF_NOTRUNCATE and
//    ASSOCF_INIT_DEFAULTTOFOLDER, or ASSOCF_OPEN_BYEXENAME) for a program file
//    name or path: the key is "Applications\" + file name.
// verb null means the verb the "shell" key's default value names when that
// verb is there, else "open" when it is there, else the first verb.
// EXECUTABLE is the program of the verb's command that exists on disk: the
// text inside the opening quotes, or, unquoted, the text up to each blank in
// turn (shortest first) and then the whole line; a name without a folder is
// looked for on the search path, variables are expanded first. A by-program
// query's program is the file it names, else that of its application key's
// verb. FRIENDLYAPPNAME is the application key's "FriendlyAppName", else the
// program's version description, else its file name without folder and
// extension; it fails where EXECUTABLE fails, unless the application key
// names it. A packaged app's class names its program by its "Application"
// key's "ApplicationName". FRIENDLYDOCNAME is the class's
// "FriendlyTypeName", else its description. Indirect texts ("@file,-id")
// are resolved from their resources; one that cannot be is absent.
// out receives at most *length bytes, terminated; *length gets the length with
// terminator. A failed answer returns a failure HRESULT and leaves out empty.
HRESULT ShellAssocQuery(ASSOCF flags, ASSOCSTR kind, const char* assoc, const char* verb, char* out,
                        DWORD* length);

// The arguments of a command line: what follows the program that EXECUTABLE
// finds in it, past one blank; where it finds none, what PathGetArgsA gives.
// The result points into command.
const char* ShellCommandArguments(const char* command);

// SHGetFileInfoA (an icon of iconSize pixels, 0 for the system's size), with
// the answers for SHGFI_USEFILEATTRIBUTES served from the merged classes
// view: the type name is the class's description, else the extension without
// its dot in capitals followed by " File"; SHGFI_ICON gives the icon of the
// class's DefaultIcon, else the shell's icon (redrawn to iconSize), else the
// generic document icon. The shell itself is not asked when the view answers
// all the flags (then the result is 1). The caller destroys info->hIcon when
// SHGFI_ICON was asked for.
DWORD_PTR ShellGetFileInfo(const char* path, DWORD attributes, SHFILEINFOA* info, UINT flags,
                           int iconSize = 0);

// The type name of an extension as the shell shows it: that of the class
// the user chose for it, else of its own class (ASSOCSTR_FRIENDLYDOCNAME),
// else the extension without its dot in capitals followed by " File". Whole,
// where SHFILEINFOA's field keeps 79 bytes of it.
std::string ShellTypeName(const char* extension);
// A text as the shell shows it: an indirect one ("@file,-id", variables
// expanded) resolved from its file's resources, a plain one as it is. False
// for an empty text or one that cannot be resolved.
bool ShellResolveText(const std::string& text, std::string* resolved);
// The description the editor edits: the default value of the extension's own
// class, else the same fall-back.
std::string ShellClassDescription(const char* extension);
// The class the user chose for the extension ("Always use this app"), when
// it names a class that exists: the shell then opens, describes and draws
// the extension's files through that class, and so do the answers here.
bool ShellUserChoice(const char* extension, std::string* className);
// The verb of the action a double-click on a file of the extension runs, as
// the association answers find it (the verbs of "*" where the class has
// none); false where there is none.
bool ShellDefaultVerb(const char* extension, std::string* verb);

// Loads the icon at location "file,index" or "file,-id" or a bare icon file at
// the given size, environment variables expanded; null when there is none (a
// location such as "%1" names no file). The caller destroys the icon.
HICON ShellLoadIconLocation(const char* location, int size);

// Whether the system's icon readers may be given file: an icon file whose
// images lie within it, or a program or library whose image loads whole.
// Given a truncated program, the readers of some systems (Wine's) read past
// the end of the file and fault. Every reader of icons from files asks first.
bool ShellIsWholeIconSource(const std::string& file);

// The generic document icon at the given size; the caller destroys it.
HICON ShellGenericDocumentIcon(int size);

// While one lives on a thread, the association answers and file information
// of that thread read each key and value of the merged view once and reuse
// what they read: a reader that asks several questions about one extension
// opens a scope for them, and must not write the registry meanwhile. Scopes
// nest; what was read is dropped when the outermost one ends.
class ShellReadScope {
  public:
    ShellReadScope();
    ~ShellReadScope();
    ShellReadScope(const ShellReadScope&) = delete;
    ShellReadScope& operator=(const ShellReadScope&) = delete;
};
