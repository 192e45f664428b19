// The rules that turn stored texts into what the details pane shows, over
// plain text: file labels, the opening quote, the folder of a path in long
// form, and the normalising and splitting of an open command. Nothing here
// touches a window.
#pragma once
#include "text/text.h"

#include <string>

// The text a file label shows for text: 0 when text is empty (nothing to
// show), else 1 with the label's new text in out (kTextSize bytes): empty for
// a text with a percent sign, else the text up to its first double quote,
// else up to its first comma.
int FileLabelText(const char* text, char* out);

// The file-name label rule: the label of the part after the last backslash,
// else of the whole text, into label; false, and label untouched, where
// neither gives one (an empty text).
bool FileLabelOf(const char* text, std::string* label);

// text past one opening double quote.
const char* SkipOpeningQuote(const char* text);

// The folder of location as the pane shows it: location expanded into
// expanded (kTextSize bytes), past an opening quote, its folder part in long
// form into folder (kTextSize bytes). Returns the file within expanded.
const char* ExpandedFolderOf(const char* location, char* expanded, char* folder);

// The parts of a stored open command as the admin-mode pane shows them.
struct OpenCommandParts {
    char Program[kTextSize];   // without arguments and quotes, expanded, long form
    char Folder[kTextSize];    // of Program, with its trailing backslash
    char File[kTextSize];      // of Program; empty when Program has no backslash
    char Arguments[kTextSize]; // of the command, expanded unless rundll32
    int IsRundll;              // Program is the bare name rundll32.exe
};
// The command a program and its arguments make: the program in double quotes
// where it holds a blank (unless it is quoted already), then one blank and the
// arguments where there are any, into command (kTextSize bytes). False, and
// command empty, for no program or a command longer than kTextSize holds:
// nothing is ever written cut.
bool JoinProgramAndArguments(const char* program, const char* arguments, char* command);
// The program and the arguments of a command, split where the shell splits
// it (the program found on disk, else the first blank), the program without
// its quotes; each into a buffer of kTextSize bytes.
void SplitProgramAndArguments(const char* command, char* program, char* arguments);

// Puts the program of an unquoted command line in quotes, in place (command
// holds kTextSize bytes); a command beginning with a quote or with "r"/"R" is
// left as it is.
void NormaliseOpenCommand(char* command);
// NormaliseOpenCommand, then the parts of the result.
void SplitCommandText(char* command, OpenCommandParts* parts);
