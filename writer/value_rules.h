// The rules both writers share: how an extension's class is found or made,
// and how each kind of value is written.
// Every rule works in the hive it is given: HKEY_CURRENT_USER in user mode,
// HKEY_LOCAL_MACHINE in admin mode.
#pragma once
#include <windows.h>

#include "platform/registry_layout.h"

// Writes text as REG_SZ with its terminating zero (null name: the default).
void WriteText(HKEY key, const char* name, const char* text);

// The class lookup on an open extension key: its default value, else the
// name of the first value under "OpenWithProgIDs". 1 with the class in
// fileClass (kTextSize bytes), 0 when there is none or it is empty.
int FindExtensionClass(HKEY extensionKey, char* fileClass);
// The name of an extension's new class: its name without the "." followed
// by "File", into fileClass (kTextSize bytes); false, and fileClass empty,
// when that is too long.
bool NewClassName(const char* extension, char* fileClass);
// The new class of an extension (NewClassName), written as the extension
// key's default value, and the class's empty key in hive. 1 with the class in
// fileClass (kTextSize bytes), 0 when the name is too long to make one.
int CreateExtensionClass(HKEY hive, HKEY extensionKey, const char* extension, char* fileClass);

// User mode: "[ NONE ]" in any letter case deletes the value, any other text
// is written.
void WriteOptionalText(HKEY extensionKey, const char* name, const char* text);

// "EditFlags" as REG_DWORD; deleted when CollectEditFlags gives 0.
void WriteEditFlags(HKEY classKey);

// Moves "FriendlyTypeName" to "FriendlyTypeNameBak" (REG_SZ) after a new
// description was written; true when the key had a "FriendlyTypeName".
bool BackUpFriendlyTypeName(HKEY classKey);

// The open command from the Opens-with page: the program (Path text and File
// text, quoted when it holds a blank; the Opens With text when that is
// rundll32.exe and Path and File are empty), one blank and the Args text,
// into command (kTextSize bytes). False when there is no program (its texts
// are empty or a fall-back word) or the command does not fit.
bool ComposeOpenCommand(char* command);
// The command as the key's default value: REG_EXPAND_SZ when its program,
// past an opening quote, begins with "%", else REG_SZ.
void WriteCommandValue(HKEY commandKey, const char* command);

// The three DDE keys of the class, each with its text from EditBuffer.
void WriteDdeKeys(HKEY hive, const char* fileClass);
