// Turns raw command lines, executable paths and default icon locations into
// what the details pane shows: program name, file, folder, arguments, icons.
#pragma once
#include "details/extension_record.h"

// The text a file label shows for text: 0 when text is empty (nothing to
// show), else 1 with the label's new text in out (kTextSize bytes): empty for
// a text with a percent sign, else the text up to its first double quote,
// else up to its first comma.
int FileLabelText(const char* text, char* out);
// FileLabelText applied to a static control; the label is untouched on 0.
int ShowFileLabel(const char* text, HWND label);

// User mode: ProgramPath, ProgramIcon and ProgramFile from the shell's
// executable path.
void ResolveExecutable(const char* executable);
// User mode: IconPath and IconFile from a default icon location.
void ResolveIconLabels(const char* location);

// The parts of a stored open command as the admin-mode pane shows them.
struct OpenCommandParts {
    char Program[kTextSize];   // without arguments and quotes, expanded, long form
    char Folder[kTextSize];    // of Program, with its trailing backslash
    char File[kTextSize];      // of Program; empty when Program has no backslash
    char Arguments[kTextSize]; // of the command, expanded unless rundll32
    int IsRundll;              // Program is the bare name rundll32.exe
};
// Puts the program of an unquoted command line in quotes, in place (command
// holds kTextSize bytes); a command beginning with a quote or with "r"/"R" is
// left as it is.
void NormaliseOpenCommand(char* command);
// NormaliseOpenCommand, then the parts of the result.
void SplitCommandText(char* command, OpenCommandParts* parts);

// Admin mode: OpensWith, ProgramFile, ProgramPath, Args, ProgramIcon and
// HasArgs from shell\open\command; rewrites command as NormaliseOpenCommand.
void SplitOpenCommand(char* command);
// Admin mode: both icons, IconFile, IconPath and IconLocation from the class's
// DefaultIcon; 0 when the caller is to show "Unknown" in the icon labels.
int ResolveDefaultIcon(const char* location);
// Admin mode: LargeIcon and SmallIcon from icon index "n" or resource id "-n"
// of a module; 1 when an icon was found. The module is always freed.
int LoadIconFromModule(const char* path, const char* indexText);
